// The content of the lock screen's main page. It owns the notification list,
// decides when the list is shown, presents further pages as content view
// controllers, follows size changes and receives the lock screen's events.
//
// Its view is the page area: the notification list's view sits in it at the
// list's suggested frame while the list is shown, and every presented page's view
// fills it, the newest on top.
#pragma once

#include <Foundation/NSArray.h>
#include <host/Export.h>
#include <host/NCNotificationPriorityListViewController.h>
#include <host/SBDashBoardViewControllerBase.h>

#include <vector>

class HOST_EXPORT SBDashBoardMainPageContentViewController
    : public objc::Subclass<SBDashBoardMainPageContentViewController, SBDashBoardViewControllerBase> {
public:
    static Class classObject();

    // Made by -init; also the instance variable `_notificationViewController`.
    NCNotificationPriorityListViewController* notificationViewController() const
    {
        return notificationViewController_.get();
    }

    // The pages presented through -presentContentViewControllers:…, oldest first.
    const NSArray* contentViewControllers() const { return contentViewControllers_.get(); }

    // The size given by the last -viewWillTransitionToSize:withTransitionCoordinator:.
    CGSize viewSize() const { return viewSize_; }

    // The types of the events received through -handleEvent:, in order.
    const std::vector<NSInteger>& receivedEventTypes() const { return receivedEventTypes_; }

    // The lock screen came into view or left it: the presented pages appear or
    // disappear with it. A page presented while it is out of view appears with it.
    void lockScreenDidAppear();
    void lockScreenWillDisappear();

private:
    static id init(id self, SEL);
    static void addOrRemoveNotificationsListIfNecessaryAnimated(id self, SEL, BOOL animated);
    static void viewWillTransitionToSize(id self, SEL, CGSize size, id coordinator);
    static BOOL handleEvent(id self, SEL, id event);
    // The completion, a block of no arguments or nil, runs once the pages are in or out.
    static void presentContentViewControllers(id self, SEL, id controllers, BOOL animated, id completion);
    static void dismissContentViewControllers(id self, SEL, id controllers, BOOL animated, id completion);

    void showNotificationList(bool shown);
    void present(UIViewController* page, bool animated);
    void dismiss(UIViewController* page, bool animated);

    Ref<NCNotificationPriorityListViewController> notificationViewController_;
    Ref<NSMutableArray> contentViewControllers_ = NSMutableArray::array();
    CGSize viewSize_ { 375, 667 };
    std::vector<NSInteger> receivedEventTypes_;
    bool lockScreenVisible_ = false;
};
