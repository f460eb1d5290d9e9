// One notification waiting on the lock screen: which application sent it, when,
// and what it says.
#pragma once

#include <Foundation/NSString.h>
#include <host/Export.h>

class HOST_EXPORT NCNotificationRequest : public objc::Subclass<NCNotificationRequest, NSObject> {
public:
    static Class classObject();

    NCNotificationRequest()
        : NCNotificationRequest(NSString::string(), NSString::string(), NSString::string(), 0)
    {
    }
    NCNotificationRequest(Ref<NSString> appName, Ref<NSString> title, Ref<NSString> message, double unixTime);

    const NSString* appName() const { return appName_.get(); }
    const NSString* title() const { return title_.get(); }
    const NSString* message() const { return message_.get(); }
    // When it arrived, in seconds since 1970.
    double arrival() const { return arrival_; }

    std::string description() const override;

private:
    Ref<NSString> appName_;
    Ref<NSString> title_;
    Ref<NSString> message_;
    double arrival_;
};
