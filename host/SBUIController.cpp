#include <host/SBUIController.h>

Class SBUIController::classObject()
{
    static Class cls = objc::registerClass<SBUIController>("SBUIController", NSObject::classObject(), [](Class c) {
        objc::addClassMethod(
            c, "sharedInstance", +[](Class, SEL) -> id { return sharedInstance(); });
        objc::addMethod(c, "activateApplicationAnimated:", &SBUIController::activateApplicationAnimated);
    });
    return cls;
}

SBUIController::SBUIController()
{
    setIsa(classObject());
}

SBUIController* SBUIController::sharedInstance()
{
    static auto* shared = new SBUIController;
    return shared;
}

void SBUIController::activateApplicationAnimated(id self, SEL, id application)
{
    if (auto* app = dynamicCast<SBApplication>(application))
        static_cast<SBUIController*>(self)->foregroundApplication_ = app;
}
