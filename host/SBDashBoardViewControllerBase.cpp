#include <host/SBDashBoardViewControllerBase.h>

Class SBDashBoardViewControllerBase::classObject()
{
    static Class cls = objc::registerClass<SBDashBoardViewControllerBase>(
        "SBDashBoardViewControllerBase", HostViewController::classObject(), [](Class c) {
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
    return self;
}

void SBDashBoardViewControllerBase::viewWillAppear(id self, SEL, BOOL animated)
{
    auto* controller = static_cast<SBDashBoardViewControllerBase*>(self);
    ++controller->appearanceCount_;
    controller->lastAppearanceAnimated_ = animated;
}
