#include <host/SBDashBoardViewControllerBase.h>
#include <host/SpringBoard.h>

Class SBDashBoardViewControllerBase::classObject()
{
    static Class cls = objc::registerClass<SBDashBoardViewControllerBase>(
        "SBDashBoardViewControllerBase", UIViewController::classObject(), [](Class c) {
            objc::addMethod(c, "init", &SBDashBoardViewControllerBase::init);
            objc::addMethod(c, "viewWillAppear:", &SBDashBoardViewControllerBase::viewWillAppear);
        });
    return cls;
}

SBDashBoardViewControllerBase::SBDashBoardViewControllerBase()
{
    setIsa(classObject());
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
