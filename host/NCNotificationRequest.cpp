#include <host/NCNotificationRequest.h>

Class NCNotificationRequest::classObject()
{
    return objc::registeredClass<NCNotificationRequest>("NCNotificationRequest");
}

NCNotificationRequest::NCNotificationRequest(
    Ref<NSString> appName, Ref<NSString> title, Ref<NSString> message, double unixTime)
    : appName_(std::move(appName))
    , title_(std::move(title))
    , message_(std::move(message))
    , arrival_(unixTime)
{
}

std::string NCNotificationRequest::description() const
{
    return "<NCNotificationRequest: " + appName_->UTF8String() + " | " + title_->UTF8String() + ">";
}
