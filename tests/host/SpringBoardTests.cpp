#include <host/NCNotificationRequest.h>
#include <host/SBApplicationController.h>
#include <host/SBDashBoardEvent.h>
#include <host/SBDashBoardMainPageViewController.h>
#include <host/SBUIController.h>
#include <host/SpringBoard.h>

#include <Foundation/NSException.h>
#include <Foundation/NSString.h>
#include <UIKit/UIViewController.h>
#include <objc/Block.h>

#include <gtest/gtest.h>

namespace {

class SpringBoard : public ::testing::Test {
protected:
    void SetUp() override { host::registerSpringBoardClasses(); }

    static Ref<SBDashBoardMainPageContentViewController> makeContent()
    {
        return host::allocInit<SBDashBoardMainPageContentViewController>();
    }
};

} // namespace

TEST_F(SpringBoard, TheNotificationListIsFoundByItsInstanceVariableName)
{
    Ref<SBDashBoardMainPageContentViewController> content = makeContent();
    ASSERT_NE(content->notificationViewController(), nullptr);
    Ivar ivar = class_getInstanceVariable(object_getClass(content.get()), "_notificationViewController");
    ASSERT_NE(ivar, nullptr);
    EXPECT_EQ(object_getIvar(content.get(), ivar), content->notificationViewController());
}

TEST_F(SpringBoard, TheListIsPresentedExactlyWhileItHasRequests)
{
    Ref<SBDashBoardMainPageContentViewController> content = makeContent();
    NCNotificationPriorityListViewController* list = content->notificationViewController();
    auto update = [&] { objc_msgSend<void>(content.get(), "_addOrRemoveNotificationsListIfNecessaryAnimated:", true); };

    update();
    EXPECT_EQ(objc_msgSend<id>(list, "presenter"), nullptr);
    list->addNotificationRequest(
        makeRef<NCNotificationRequest>(NSString::string("App"), NSString::string("Message"), NSString::string(), 0)
            .get());
    list->addNotificationRequest(
        makeRef<NCNotificationRequest>(NSString::string("App"), NSString::string("Reminder"), NSString::string(), 0)
            .get());
    update();
    EXPECT_EQ(objc_msgSend<id>(list, "presenter"), content.get());
    EXPECT_EQ(objc_msgSend<NSInteger>(list, "numberOfSectionsInCollectionView:", static_cast<id>(nullptr)), 2);
    list->removeAllNotificationRequests();
    update();
    EXPECT_EQ(objc_msgSend<id>(list, "presenter"), nullptr);
    EXPECT_EQ(objc_msgSend<CGRect>(list, "_suggestedListViewFrame"),
        NCNotificationPriorityListViewController::defaultSuggestedListViewFrame);
}

TEST_F(SpringBoard, APresentedPageAppearsOnceOnAVisibleLockScreenAndDismissingRemovesIt)
{
    Ref<SBDashBoardMainPageContentViewController> content = makeContent();
    Ref<SBDashBoardViewControllerBase> page = host::allocInit<SBDashBoardViewControllerBase>();
    Ref<NSArray> pages = NSArray::array({ Ref<NSObject>(page.get()) });
    auto send = [&](const char* selector) {
        objc_msgSend<void>(content.get(), selector, pages.get(), true, static_cast<id>(nullptr));
    };

    send("presentContentViewControllers:animated:completion:");
    EXPECT_EQ(page->appearanceCount(), 0) << "the lock screen is not in view";
    content->lockScreenDidAppear();
    send("presentContentViewControllers:animated:completion:");
    EXPECT_EQ(page->appearanceCount(), 1);
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(page->view()->superview(), content->view());
    EXPECT_EQ(page->view()->frame(), content->view()->bounds());
    EXPECT_EQ(content->contentViewControllers()->count(), 1u);

    bool completed = false;
    auto completion = makeBlock<void()>([&] { completed = content->contentViewControllers()->count() == 0; });
    objc_msgSend<void>(content.get(), "dismissContentViewControllers:animated:completion:", pages.get(), true,
        static_cast<id>(completion.get()));
    EXPECT_TRUE(completed);
    EXPECT_FALSE(page->isVisible());
    EXPECT_EQ(page->view()->superview(), nullptr);
}

TEST_F(SpringBoard, TheMainPageConsumesOnlyTheLockScreensDismissal)
{
    Ref<SBDashBoardMainPageContentViewController> content = makeContent();
    auto handle = [&](NSObject* event) { return objc_msgSend<BOOL>(content.get(), "handleEvent:", event); };

    EXPECT_TRUE(handle(SBDashBoardEvent::eventWithType(SBDashBoardEvent::lockScreenWillDismissType).get()));
    EXPECT_FALSE(handle(SBDashBoardEvent::eventWithType(1).get()));
    EXPECT_FALSE(handle(NSString::string("not an event").get()));
    EXPECT_EQ(content->receivedEventTypes(), (std::vector<NSInteger> { 4, 1 }));

    objc_msgSend<void>(content.get(), "viewWillTransitionToSize:withTransitionCoordinator:", CGSizeMake(667, 375),
        static_cast<id>(nullptr));
    EXPECT_EQ(content->viewSize(), CGSizeMake(667, 375));
}

TEST_F(SpringBoard, TheMainPageAnswersItsIdleDurationAndBuildsItsContentThroughTheRuntime)
{
    Ref<SBDashBoardMainPageViewController> page = host::allocInit<SBDashBoardMainPageViewController>();
    EXPECT_EQ(objc_msgSend<long long>(page.get(), "idleTimerDuration"),
        SBDashBoardMainPageViewController::defaultIdleTimerDuration);
    page->setIdleTimerDuration(20);
    EXPECT_EQ(objc_msgSend<long long>(page.get(), "idleTimerDuration"), 20);
    ASSERT_NE(page->contentViewController(), nullptr);
    EXPECT_NE(page->contentViewController()->notificationViewController(), nullptr);

    // The shared controllers answer as class methods, as SpringBoard's do.
    EXPECT_EQ(objc_msgSend<id>(objc_getClass("SBApplicationController"), "sharedInstance"),
        SBApplicationController::sharedInstance());
    EXPECT_EQ(objc_msgSend<id>(objc_getClass("SBUIController"), "sharedInstance"), SBUIController::sharedInstance());
}

TEST_F(SpringBoard, ASuperCallOfOtherTypesThanTheMethodIsRefused)
{
    Ref<SBDashBoardMainPageViewController> page = host::allocInit<SBDashBoardMainPageViewController>();
    // viewWillAppear: takes a BOOL.
    EXPECT_THROW(host::sendSuper(UIViewController::classObject(), page.get(), "viewWillAppear:", 1), NSException);
}
