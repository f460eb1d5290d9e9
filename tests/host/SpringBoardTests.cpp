#include <host/SBDashBoardEvent.h>
#include <host/SBDashBoardMainPageViewController.h>
#include <host/SpringBoard.h>

#include <Foundation/NSString.h>

#include <substrate.h>

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

// What an extension finds by name: each member with the encoding of its types.
TEST_F(SpringBoard, MembersAreReachableBySelectorWithTheirEncodings)
{
    struct Member {
        const char* cls;
        const char* selector;
        const char* types;
    };
    const Member members[] = {
        { "SBDashBoardViewControllerBase", "init", "@@:" },
        { "SBDashBoardViewControllerBase", "viewWillAppear:", "v@:B" },
        { "SBDashBoardMainPageViewController", "idleTimerDuration", "q@:" },
        { "SBDashBoardMainPageContentViewController", "_addOrRemoveNotificationsListIfNecessaryAnimated:", "v@:B" },
        { "SBDashBoardMainPageContentViewController",
            "viewWillTransitionToSize:withTransitionCoordinator:", "v@:{CGSize=dd}@" },
        { "SBDashBoardMainPageContentViewController", "handleEvent:", "B@:@" },
        { "SBDashBoardMainPageContentViewController", "presentContentViewControllers:animated:completion:", "v@:@B@" },
        { "SBDashBoardMainPageContentViewController", "dismissContentViewControllers:animated:completion:", "v@:@B@" },
        { "NCNotificationPriorityListViewController", "init", "@@:" },
        { "NCNotificationPriorityListViewController", "presenter", "@@:" },
        { "NCNotificationPriorityListViewController", "_suggestedListViewFrame", "{CGRect={CGPoint=dd}{CGSize=dd}}@:" },
        { "NCNotificationPriorityListViewController", "numberOfSectionsInCollectionView:", "q@:@" },
        { "SBDashBoardEvent", "type", "q@:" },
        { "SBApplication", "bundleIdentifier", "@@:" },
        { "SBApplicationController", "applicationWithDisplayIdentifier:", "@@:@" },
        { "SBUIController", "activateApplicationAnimated:", "v@:@" },
    };
    for (const Member& member : members) {
        Method method = class_getInstanceMethod(objc_getClass(member.cls), sel_registerName(member.selector));
        ASSERT_NE(method, nullptr) << member.cls << " " << member.selector;
        EXPECT_STREQ(method_getTypeEncoding(method), member.types) << member.cls << " " << member.selector;
    }
    EXPECT_EQ(class_getSuperclass(objc_getClass("SBDashBoardMainPageContentViewController")),
        objc_getClass("SBDashBoardViewControllerBase"));
}

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
    list->addNotificationRequest(NSString::string("Message").get());
    list->addNotificationRequest(NSString::string("Reminder").get());
    update();
    EXPECT_EQ(objc_msgSend<id>(list, "presenter"), content.get());
    EXPECT_EQ(objc_msgSend<NSInteger>(list, "numberOfSectionsInCollectionView:", static_cast<id>(nullptr)), 2);
    list->removeAllNotificationRequests();
    update();
    EXPECT_EQ(objc_msgSend<id>(list, "presenter"), nullptr);
    EXPECT_EQ(objc_msgSend<CGRect>(list, "_suggestedListViewFrame"),
        NCNotificationPriorityListViewController::defaultSuggestedListViewFrame);
}

TEST_F(SpringBoard, APresentedPageAppearsOnceAndDismissingRemovesIt)
{
    Ref<SBDashBoardMainPageContentViewController> content = makeContent();
    Ref<SBDashBoardViewControllerBase> page = host::allocInit<SBDashBoardViewControllerBase>();
    Ref<NSArray> pages = NSArray::array({ Ref<NSObject>(page.get()) });
    auto send = [&](const char* selector) {
        objc_msgSend<void>(content.get(), selector, pages.get(), true, static_cast<id>(nullptr));
    };

    send("presentContentViewControllers:animated:completion:");
    send("presentContentViewControllers:animated:completion:");
    EXPECT_EQ(page->appearanceCount(), 1);
    EXPECT_TRUE(page->lastAppearanceAnimated());
    EXPECT_EQ(content->contentViewControllers()->count(), 1u);
    send("dismissContentViewControllers:animated:completion:");
    EXPECT_EQ(content->contentViewControllers()->count(), 0u);
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
}

namespace {

int hookedInits = 0;
IMP savedInit = nullptr;

id countingInit(id self, SEL op)
{
    ++hookedInits;
    return reinterpret_cast<id (*)(id, SEL)>(savedInit)(self, op);
}

} // namespace

// SpringBoard makes its controllers with alloc and init, so a hooked init runs.
TEST_F(SpringBoard, ControllersAreMadeThroughAHookedInit)
{
    Class list = objc_allocateClassPair(
        NCNotificationPriorityListViewController::classObject(), "CountedNotificationListForTest", 0);
    objc_registerClassPair(list);
    MSHookMessageEx(list, sel_registerName("init"), reinterpret_cast<IMP>(&countingInit), &savedInit);

    Ref<NCNotificationPriorityListViewController> made
        = host::allocInit<NCNotificationPriorityListViewController>(list);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(object_getClass(made.get()), list);
    EXPECT_EQ(hookedInits, 1);
}
