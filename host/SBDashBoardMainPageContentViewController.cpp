#include <host/SBDashBoardEvent.h>
#include <host/SBDashBoardMainPageContentViewController.h>
#include <host/SpringBoard.h>

#include <objc/Block.h>

namespace {

SBDashBoardMainPageContentViewController* asContent(id self)
{
    return static_cast<SBDashBoardMainPageContentViewController*>(self);
}

template <typename Action> void forEachController(id controllers, Action action)
{
    auto* list = dynamicCast<NSArray>(controllers);
    if (!list)
        return;
    // A copy: an action may change the array the caller passed.
    const std::vector<Ref<NSObject>> items(list->begin(), list->end());
    for (const Ref<NSObject>& item : items)
        if (auto* controller = dynamicCast<UIViewController>(item.get()))
            action(controller);
}

void runCompletion(id completion)
{
    if (auto* block = Block<void()>::from(completion))
        (*block)();
}

} // namespace

Class SBDashBoardMainPageContentViewController::classObject()
{
    using Self = SBDashBoardMainPageContentViewController;
    return objc::registeredClass<Self>("SBDashBoardMainPageContentViewController", [](Class c) {
        objc::addMethod(c, "init", &Self::init);
        objc::addMethod(c, "_addOrRemoveNotificationsListIfNecessaryAnimated:",
            &Self::addOrRemoveNotificationsListIfNecessaryAnimated);
        objc::addMethod(c, "viewWillTransitionToSize:withTransitionCoordinator:", &Self::viewWillTransitionToSize);
        objc::addMethod(c, "handleEvent:", &Self::handleEvent);
        objc::addMethod(c, "presentContentViewControllers:animated:completion:", &Self::presentContentViewControllers);
        objc::addMethod(c, "dismissContentViewControllers:animated:completion:", &Self::dismissContentViewControllers);
        objc::addIvar(c, "_notificationViewController", "@\"NCNotificationPriorityListViewController\"", 0,
            { [](id self) -> id { return asContent(self)->notificationViewController_.get(); },
                [](id self, id value) {
                    asContent(self)->notificationViewController_
                        = dynamicCast<NCNotificationPriorityListViewController>(value);
                } });
    });
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
    auto* content = asContent(self);
    NCNotificationPriorityListViewController* list = content->notificationViewController_.get();
    if (!list)
        return;
    const bool shown = list->presenter() != nullptr;
    if (list->hasNotificationRequests() != shown)
        content->showNotificationList(!shown);
}

void SBDashBoardMainPageContentViewController::showNotificationList(bool shown)
{
    NCNotificationPriorityListViewController* list = notificationViewController_.get();
    UIView* listView = list->view();
    if (shown) {
        list->setPresenter(this);
        listView->setFrame(list->suggestedListViewFrame());
        view()->insertSubviewAtIndex(listView, 0);
    } else {
        list->setPresenter(nullptr);
        listView->removeFromSuperview();
    }
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
    id self, SEL, id controllers, BOOL animated, id completion)
{
    forEachController(controllers, [&](UIViewController* page) { asContent(self)->present(page, animated); });
    runCompletion(completion);
}

void SBDashBoardMainPageContentViewController::dismissContentViewControllers(
    id self, SEL, id controllers, BOOL animated, id completion)
{
    forEachController(controllers, [&](UIViewController* page) { asContent(self)->dismiss(page, animated); });
    runCompletion(completion);
}

void SBDashBoardMainPageContentViewController::present(UIViewController* page, bool animated)
{
    if (contentViewControllers_->containsObject(page))
        return;
    contentViewControllers_->addObject(page);
    UIView* pageView = page->view();
    pageView->setFrame(view()->bounds());
    pageView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view()->addSubview(pageView);
    if (lockScreenVisible_)
        UIViewControllerSendAppear(page, animated);
}

void SBDashBoardMainPageContentViewController::dismiss(UIViewController* page, bool animated)
{
    if (!contentViewControllers_->containsObject(page))
        return;
    if (page->isVisible() || page->isAppearing())
        UIViewControllerSendDisappear(page, animated);
    page->view()->removeFromSuperview();
    contentViewControllers_->removeObject(page);
}

void SBDashBoardMainPageContentViewController::lockScreenDidAppear()
{
    lockScreenVisible_ = true;
    forEachController(contentViewControllers_.get(), [](UIViewController* page) {
        if (!page->isVisible())
            UIViewControllerSendAppear(page, false);
    });
}

void SBDashBoardMainPageContentViewController::lockScreenWillDisappear()
{
    lockScreenVisible_ = false;
    forEachController(contentViewControllers_.get(), [](UIViewController* page) {
        if (page->isVisible())
            UIViewControllerSendDisappear(page, false);
    });
}
