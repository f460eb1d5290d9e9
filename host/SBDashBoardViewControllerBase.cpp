#include <host/SBDashBoardViewControllerBase.h>
#include <host/SpringBoard.h>

Class SBDashBoardViewControllerBase::classObject()
{
    return objc::registeredClass<SBDashBoardViewControllerBase>("SBDashBoardViewControllerBase", [](Class c) {
        objc::addMethod(c, "init", &SBDashBoardViewControllerBase::init);
        objc::addMethod(c, "viewWillAppear:", &SBDashBoardViewControllerBase::viewWillAppear);
    });
}

id SBDashBoardViewControllerBase::init(id self, SEL)
{
    return host::sendSuper<id>(UIViewController::classObject(), self, "init");
}

void SBDashBoardViewControllerBase::viewWillAppear(id self, SEL, BOOL animated)
{
    auto* controller = static_cast<SBDashBoardViewControllerBase*>(self);
    controller->UIViewController::viewWillAppear(animated);
    ++controller->appearanceCount_;
    controller->lastAppearanceAnimated_ = animated;
}
