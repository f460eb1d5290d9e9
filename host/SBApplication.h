// An application installed on the device, as SpringBoard knows it.
#pragma once

#include <Foundation/NSString.h>

class SBApplication : public NSObject {
public:
    static Class classObject();

    SBApplication()
        : SBApplication(NSString::string(), NSString::string())
    {
    }
    SBApplication(Ref<NSString> bundleIdentifier, Ref<NSString> displayName);

    const NSString* bundleIdentifier() const { return bundleIdentifier_.get(); }
    const NSString* displayName() const { return displayName_.get(); }

    std::string description() const override;

private:
    static id bundleIdentifierImp(id self, SEL);

    Ref<NSString> bundleIdentifier_;
    Ref<NSString> displayName_;
};
