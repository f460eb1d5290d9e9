#include <UIKit/UIApplication.h>

#include <MobileCoreServices/LSApplicationWorkspace.h>

namespace {

id sharedApplication(Class, SEL)
{
    return UIApplication::sharedApplication();
}

BOOL openURL(id self, SEL, id url)
{
    return static_cast<UIApplication*>(self)->openURL(dynamicCast<NSURL>(url));
}

// Registered when the library loads, so that a lookup by name finds the class.
[[maybe_unused]] const Class registeredAtLoad = UIApplication::classObject();

} // namespace

Class UIApplication::classObject()
{
    return objc::registeredClass<UIApplication>("UIApplication", [](Class c) {
        objc::addClassMethod(c, "sharedApplication", &::sharedApplication);
        objc::addMethod(c, "openURL:", &::openURL);
    });
}

UIApplication* UIApplication::sharedApplication()
{
    // Never released: the application lives as long as the process.
    static auto* application = new UIApplication;
    return application;
}

bool UIApplication::openURL(NSURL* url)
{
    return LSApplicationWorkspace::defaultWorkspace()->openURLWithOptions(url, nullptr);
}
