// An application installed on the device, as SpringBoard knows it.
#pragma once

#include <Foundation/NSString.h>
#include <host/Export.h>

#include <string>
#include <vector>

class HOST_EXPORT SBApplication : public objc::Subclass<SBApplication, NSObject> {
public:
    static Class classObject();

    SBApplication()
        : SBApplication(NSString::string(), NSString::string())
    {
    }
    SBApplication(Ref<NSString> bundleIdentifier, Ref<NSString> displayName, std::vector<std::string> urlSchemes = {});

    const NSString* bundleIdentifier() const { return bundleIdentifier_.get(); }
    const NSString* displayName() const { return displayName_.get(); }
    // The URL schemes it registered (CFBundleURLTypes), in lower case.
    const std::vector<std::string>& urlSchemes() const { return urlSchemes_; }

    std::string description() const override;

private:
    static id bundleIdentifierImp(id self, SEL);

    Ref<NSString> bundleIdentifier_;
    Ref<NSString> displayName_;
    std::vector<std::string> urlSchemes_;
};
