#include <host/SBApplication.h>

Class SBApplication::classObject()
{
    return objc::registeredClass<SBApplication>(
        "SBApplication", [](Class c) { objc::addMethod(c, "bundleIdentifier", &SBApplication::bundleIdentifierImp); });
}

SBApplication::SBApplication(
    Ref<NSString> bundleIdentifier, Ref<NSString> displayName, std::vector<std::string> urlSchemes)
    : bundleIdentifier_(std::move(bundleIdentifier))
    , displayName_(std::move(displayName))
    , urlSchemes_(std::move(urlSchemes))
{
}

std::string SBApplication::description() const
{
    return "<SBApplication: " + bundleIdentifier_->UTF8String() + ">";
}

id SBApplication::bundleIdentifierImp(id self, SEL)
{
    return const_cast<NSString*>(static_cast<SBApplication*>(self)->bundleIdentifier());
}
