#include <host/SBUIController.h>

#include <Foundation/NSLog.h>

Class SBUIController::classObject()
{
    return objc::registeredClass<SBUIController>("SBUIController", [](Class c) {
        objc::addClassMethod(
            c, "sharedInstance", +[](Class, SEL) -> id { return sharedInstance(); });
        objc::addMethod(c, "activateApplicationAnimated:", &SBUIController::activateApplicationAnimated);
    });
}

SBUIController* SBUIController::sharedInstance()
{
    static auto* shared = new SBUIController;
    return shared;
}

void SBUIController::activateApplicationAnimated(id self, SEL, id application)
{
    auto* app = dynamicCast<SBApplication>(application);
    if (!app) {
        NSLog("SpringBoard: asked to activate no application, nothing opens");
        return;
    }
    if (const Activator& activator = static_cast<SBUIController*>(self)->activator_)
        activator(app);
}
