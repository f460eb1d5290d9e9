#include <host/SBDashBoardEvent.h>
#include <host/SBDashBoardMainPageContentViewController.h>
#include <host/SpringBoard.h>

namespace {

SBDashBoardMainPageContentViewController* asContent(id self)
{
    return static_cast<SBDashBoardMainPageContentViewController*>(self);
}

} // namespace

Class SBDashBoardMainPageContentViewController::classObject()
{
    using Self = SBDashBoardMainPageContentViewController;
    static Class cls = objc::registerClass<Self>(
        "SBDashBoardMainPageContentViewController", SBDashBoardViewControllerBase::classObject(), [](Class c) {
            objc::addMethod(c, "init", &Self::init);
            objc::addMethod(c, "_addOrRemoveNotificationsListIfNecessaryAnimated:",
                &Self::addOrRemoveNotificationsListIfNecessaryAnimated);
            objc::addMethod(c, "viewWillTransitionToSize:withTransitionCoordinator:", &Self::viewWillTransitionToSize);
            objc::addMethod(c, "handleEvent:", &Self::handleEvent);
            objc::addMethod(
                c, "presentContentViewControllers:animated:completion:", &Self::presentContentViewControllers);
            objc::addMethod(
                c, "dismissContentViewControllers:animated:completion:", &Self::dismissContentViewControllers);
            objc::addIvar(c, "_notificationViewController", "@\"NCNotificationPriorityListViewController\"", 0,
                { [](id self) -> id { return asContent(self)->notificationViewController_.get(); },
                    [](id self, id value) {
                        asContent(self)->notificationViewController_
                            = dynamicCast<NCNotificationPriorityListViewController>(value);
                    } });
        });
    return cls;
}

SBDashBoardMainPageContentViewController::SBDashBoardMainPageContentViewController()
{
    setIsa(classObject());
}

id SBDashBoardMainPageContentViewController::init(id self, SEL)
{
    self = host::sendSuper<id>(SBDashBoardViewControllerBase::classObject(), self, "init");
    if (auto* content = dynamicCast<SBDashBoardMainPageContentViewController>(self))
        content->notificationViewController_ = host::allocInit<NCNotificationPriorityListViewController>();
    return self;
}

// The list is shown exactly while it has requests to show.
void SBDashBoardMainPageContentViewController::addOrRemoveNotificationsListIfNecessaryAnimated(id self, SEL, BOOL)
{
    NCNotificationPriorityListViewController* list = asContent(self)->notificationViewController_.get();
    if (!list)
        return;
    const bool shown = list->presenter() != nullptr;
    if (list->hasNotificationRequests() && !shown)
        list->setPresenter(self);
    else if (!list->hasNotificationRequests() && shown)
        list->setPresenter(nullptr);
}

void SBDashBoardMainPageContentViewController::viewWillTransitionToSize(id self, SEL, CGSize size, id)
{
    asContent(self)->viewSize_ = size;
}

BOOL SBDashBoardMainPageContentViewController::handleEvent(id self, SEL, id event)
{
    auto* dashBoardEvent = dynamicCast<SBDashBoardEvent>(event);
    if (!dashBoardEvent)
        return NO;
    asContent(self)->receivedEventTypes_.push_back(dashBoardEvent->type());
    // The main page consumes the lock screen's dismissal; every other event goes on
    // to the next controller.
    return dashBoardEvent->type() == SBDashBoardEvent::lockScreenWillDismissType;
}

void SBDashBoardMainPageContentViewController::presentContentViewControllers(
    id self, SEL, id controllers, BOOL animated, id)
{
    if (auto* list = dynamicCast<NSArray>(controllers))
        for (const Ref<NSObject>& controller : *list)
            asContent(self)->present(controller.get(), animated);
}

void SBDashBoardMainPageContentViewController::dismissContentViewControllers(id self, SEL, id controllers, BOOL, id)
{
    if (auto* list = dynamicCast<NSArray>(controllers))
        for (const Ref<NSObject>& controller : *list)
            asContent(self)->dismiss(controller.get());
}

// A page is about to appear as soon as it is presented: the lock screen is on screen
// whenever its content controller works.
void SBDashBoardMainPageContentViewController::present(NSObject* controller, bool animated)
{
    if (contentViewControllers_->containsObject(controller))
        return;
    contentViewControllers_->addObject(controller);
    if (controller->respondsToSelector("viewWillAppear:"))
        objc_msgSend<void>(controller, "viewWillAppear:", animated);
}

void SBDashBoardMainPageContentViewController::dismiss(NSObject* controller)
{
    contentViewControllers_->removeObject(controller);
}
