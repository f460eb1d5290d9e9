#include <host/SBDashBoardMainPageViewController.h>
#include <host/SpringBoard.h>

Class SBDashBoardMainPageViewController::classObject()
{
    return objc::registeredClass<SBDashBoardMainPageViewController>("SBDashBoardMainPageViewController", [](Class c) {
        objc::addMethod(c, "init", &SBDashBoardMainPageViewController::init);
        objc::addMethod(c, "idleTimerDuration", &SBDashBoardMainPageViewController::idleTimerDuration);
    });
}

id SBDashBoardMainPageViewController::init(id self, SEL)
{
    self = host::sendSuper<id>(SBDashBoardViewControllerBase::classObject(), self, "init");
    if (auto* page = dynamicCast<SBDashBoardMainPageViewController>(self))
        page->contentViewController_ = host::allocInit<SBDashBoardMainPageContentViewController>();
    return self;
}

long long SBDashBoardMainPageViewController::idleTimerDuration(id self, SEL)
{
    return static_cast<SBDashBoardMainPageViewController*>(self)->idleTimerDuration_;
}

void SBDashBoardMainPageViewController::viewDidLoad()
{
    UIView* content = contentViewController_->view();
    content->setFrame(view()->bounds());
    content->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view()->addSubview(content);
}
