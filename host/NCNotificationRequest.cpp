#include <host/NCNotificationRequest.h>

Class NCNotificationRequest::classObject()
{
    static Class cls = objc::registerClass<NCNotificationRequest>("NCNotificationRequest", NSObject::classObject());
    return cls;
}

NCNotificationRequest::NCNotificationRequest(
    Ref<NSString> appName, Ref<NSString> title, Ref<NSString> message, double unixTime)
    : appName_(std::move(appName))
    , title_(std::move(title))
    , message_(std::move(message))
    , arrival_(unixTime)
{
    setIsa(classObject());
}

std::string NCNotificationRequest::description() const
{
    return "<NCNotificationRequest: " + appName_->UTF8String() + " | " + title_->UTF8String() + ">";
}
