#include "PreferenceFiles.h"
#include "RuntimeGuards.h"

#include <tweak/Tweak.h>

#include <host/SBDashBoardEvent.h>
#include <host/SBDashBoardMainPageViewController.h>
#include <host/SpringBoard.h>

#include <objc/message.h>
#include <platform/Log.h>

#include <gtest/gtest.h>

namespace pf = preference_files;

namespace {

// SpringBoard's implementations as they were before the extension loaded.
struct Originals {
    IMP idleTimerDuration, addOrRemoveList, viewWillTransition, handleEvent, listInit, baseViewWillAppear;
};
Originals originals;
// What the main page's first idleTimerDuration answered right after the load.
long long firstIdleTimerDuration = 0;

IMP implementation(const char* cls, const char* selector)
{
    return class_getMethodImplementation(objc_getClass(cls), sel_registerName(selector));
}

// Loads the extension once for this test program, the way the library's
// initialiser does, on a device whose preferences switch the custom time-out on.
class ExtensionLoaded : public ::testing::Environment {
public:
    void SetUp() override
    {
        testing_support::TempDeviceRoot root;
        pf::writeXml(root, pf::boolean("customLSTimeoutEnabled", true) + pf::integer("customLSTimeout", 30));
        host::registerSpringBoardClasses();
        originals = { implementation("SBDashBoardMainPageViewController", "idleTimerDuration"),
            implementation(
                "SBDashBoardMainPageContentViewController", "_addOrRemoveNotificationsListIfNecessaryAnimated:"),
            implementation(
                "SBDashBoardMainPageContentViewController", "viewWillTransitionToSize:withTransitionCoordinator:"),
            implementation("SBDashBoardMainPageContentViewController", "handleEvent:"),
            implementation("NCNotificationPriorityListViewController", "init"),
            implementation("SBDashBoardViewControllerBase", "viewWillAppear:") };

        loadTweak();

        auto page = host::allocInit<SBDashBoardMainPageViewController>();
        firstIdleTimerDuration = objc_msgSend<long long>(page.get(), "idleTimerDuration");
    }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ExtensionLoaded);

Class pageClass()
{
    return objc_getClass(dglPageClassName);
}

// A lock screen whose content controller presents an own page of the extension.
class LockScreenHooks : public ::testing::Test {
protected:
    void SetUp() override
    {
        isEnabled = YES;
        content_ = host::allocInit<SBDashBoardMainPageContentViewController>();
        page_ = Ref<NSObject>::adopt(class_createInstance(pageClass(), 0));
        platform::clearLog();
    }

    void TearDown() override
    {
        dglDashBoardViewController = nullptr;
        ncNotificationListViewController = nullptr;
    }

    void presentPage()
    {
        Ref<NSArray> pages = NSArray::array({ page_ });
        objc_msgSend<void>(content_.get(), "presentContentViewControllers:animated:completion:", pages.get(), true,
            static_cast<id>(nullptr));
        dglDashBoardViewController = page_.get();
    }

    BOOL send(NSObject* event) { return objc_msgSend<BOOL>(content_.get(), "handleEvent:", event); }

    bool pageShown() const { return content_->contentViewControllers()->containsObject(page_.get()); }

    testing_support::TempDeviceRoot root_;
    Ref<SBDashBoardMainPageContentViewController> content_;
    Ref<NSObject> page_;
};

const char* const dismissalLine = "[Dayglass2: Tweak:1478] INFO: DGL: lockscreen did dissapear, hiding calendar.";

} // namespace

TEST(HookTable, EveryRowIsInPlaceWithItsEncoding)
{
    struct Row {
        const char* cls;
        const char* selector;
        const char* types;
    };
    const Row rows[] = {
        { "SBDashBoardMainPageViewController", "idleTimerDuration", "q@:" },
        { "SBDashBoardMainPageContentViewController", "_addOrRemoveNotificationsListIfNecessaryAnimated:", "v@:B" },
        { "SBDashBoardMainPageContentViewController",
            "viewWillTransitionToSize:withTransitionCoordinator:", "v@:{CGSize=dd}@" },
        { "SBDashBoardMainPageContentViewController", "hideDGLView", "v@:" },
        { "SBDashBoardMainPageContentViewController", "handleEvent:", "B@:@" },
        { "NCNotificationPriorityListViewController", "init", "@@:" },
        { "NCNotificationPriorityListViewController",
            "collectionView:layout:referenceSizeForFooterInSection:", "{CGSize=dd}@:@@q" },
        { "NCNotificationPriorityListViewController",
            "collectionView:viewForSupplementaryElementOfKind:atIndexPath:", "@@:@@@" },
        { dglPageClassName, "viewWillAppear:", "v@:B" },
        { dglPageClassName, "_notificationViewController", "@@:" },
        { dglPageClassName, "set_notificationViewController:", "v@:@" },
        { dglPageClassName, "dglEventTable", "@@:" },
        { dglPageClassName, "setDglEventTable:", "v@:@" },
    };
    for (const Row& row : rows) {
        Method method = class_getOwnMethod(objc_getClass(row.cls), sel_registerName(row.selector));
        ASSERT_NE(method, nullptr) << row.cls << " " << row.selector;
        EXPECT_STREQ(method_getTypeEncoding(method), row.types) << row.cls << " " << row.selector;
    }
}

TEST(HookTable, EachReplacementSavedSpringBoardsImplementation)
{
    const std::pair<IMP, IMP> slots[] = {
        { reinterpret_cast<IMP>(saved::idleTimerDuration), originals.idleTimerDuration },
        { reinterpret_cast<IMP>(saved::addOrRemoveNotificationsListIfNecessaryAnimated), originals.addOrRemoveList },
        { reinterpret_cast<IMP>(saved::viewWillTransitionToSize), originals.viewWillTransition },
        { reinterpret_cast<IMP>(saved::handleEvent), originals.handleEvent },
        { reinterpret_cast<IMP>(saved::notificationListInit), originals.listInit },
        { reinterpret_cast<IMP>(saved::viewWillAppear), originals.baseViewWillAppear },
    };
    for (const auto& [slot, original] : slots)
        EXPECT_EQ(slot, original);
    EXPECT_NE(implementation("SBDashBoardMainPageViewController", "idleTimerDuration"), originals.idleTimerDuration);
    EXPECT_NE(implementation("SBDashBoardMainPageContentViewController", "handleEvent:"), originals.handleEvent);
}

TEST(HookTable, SettingsWereLoadedBeforeTheFirstHookRan)
{
    EXPECT_EQ(firstIdleTimerDuration, 30);
}

TEST(PageClass, ViewWillAppearIsReplacedOnTheSubclassOnly)
{
    Class base = objc_getClass("SBDashBoardViewControllerBase");
    EXPECT_EQ(class_getSuperclass(pageClass()), base);
    EXPECT_EQ(implementation("SBDashBoardViewControllerBase", "viewWillAppear:"), originals.baseViewWillAppear);
    EXPECT_EQ(implementation("SBDashBoardMainPageViewController", "viewWillAppear:"), originals.baseViewWillAppear);
    EXPECT_NE(implementation(dglPageClassName, "viewWillAppear:"), originals.baseViewWillAppear);

    // Calling through reaches SpringBoard's own bookkeeping.
    Ref<NSObject> page = Ref<NSObject>::adopt(class_createInstance(pageClass(), 0));
    objc_msgSend<void>(page.get(), "viewWillAppear:", true);
    EXPECT_EQ(static_cast<SBDashBoardViewControllerBase*>(page.get())->appearanceCount(), 1);
}

TEST(PageClass, AssociatedValuesAreStrongAndKeyedByTheGettersSelector)
{
    Ref<NSObject> page = Ref<NSObject>::adopt(class_createInstance(pageClass(), 0));
    Ref<NSObject> list = makeRef<NSObject>();
    Ref<NSObject> table = makeRef<NSObject>();

    objc_msgSend<void>(page.get(), "set_notificationViewController:", list.get());
    objc_msgSend<void>(page.get(), "setDglEventTable:", table.get());
    EXPECT_EQ(objc_msgSend<id>(page.get(), "_notificationViewController"), list.get());
    EXPECT_EQ(objc_msgSend<id>(page.get(), "dglEventTable"), table.get());
    EXPECT_EQ(objc_getAssociatedObject(page.get(), sel_registerName("dglEventTable")), table.get());
    EXPECT_EQ(table->retainCount(), 2);

    objc_msgSend<void>(page.get(), "setDglEventTable:", static_cast<id>(nullptr));
    EXPECT_EQ(objc_msgSend<id>(page.get(), "dglEventTable"), nullptr);
    EXPECT_EQ(table->retainCount(), 1);
}

TEST_F(LockScreenHooks, TheCustomTimeoutNeedsBothSwitches)
{
    auto mainPage = host::allocInit<SBDashBoardMainPageViewController>();
    customLSTimeout = 30;
    const std::tuple<BOOL, BOOL, long long> cases[] = {
        { YES, YES, 30 },
        { NO, YES, SBDashBoardMainPageViewController::defaultIdleTimerDuration },
        { YES, NO, SBDashBoardMainPageViewController::defaultIdleTimerDuration },
    };
    for (const auto& [enabled, custom, expected] : cases) {
        isEnabled = enabled;
        customLSTimeoutEnabled = custom;
        EXPECT_EQ(objc_msgSend<long long>(mainPage.get(), "idleTimerDuration"), expected);
    }
}

TEST_F(LockScreenHooks, TheLockScreenGoingAwayHidesThePresentedPage)
{
    presentPage();
    EXPECT_TRUE(send(SBDashBoardEvent::eventWithType(4).get()));
    EXPECT_FALSE(pageShown());
    EXPECT_EQ(dglDashBoardViewController, nullptr);
    EXPECT_EQ(platform::loggedLines(), std::vector<std::string> { dismissalLine });

    // Nothing presented: SpringBoard's answer only.
    EXPECT_TRUE(send(SBDashBoardEvent::eventWithType(4).get()));
    EXPECT_EQ(platform::loggedLines().size(), 1u);
}

TEST_F(LockScreenHooks, OtherEventsLeaveThePageInPlace)
{
    Class eventSubclass = objc_getClass("SBDashBoardEventSubclassForTest");
    if (!eventSubclass) {
        eventSubclass = objc_allocateClassPair(SBDashBoardEvent::classObject(), "SBDashBoardEventSubclassForTest", 0);
        objc_registerClassPair(eventSubclass);
    }
    Ref<NSObject> subclassEvent = Ref<NSObject>::adopt(class_createInstance(eventSubclass, 0));
    presentPage();

    EXPECT_FALSE(send(SBDashBoardEvent::eventWithType(1).get()));
    EXPECT_FALSE(send(subclassEvent.get())); // type 0, and not SBDashBoardEvent by name
    EXPECT_FALSE(send(nullptr));
    isEnabled = NO;
    EXPECT_TRUE(send(SBDashBoardEvent::eventWithType(4).get()));

    EXPECT_TRUE(pageShown());
    EXPECT_EQ(dglDashBoardViewController, page_.get());
    EXPECT_TRUE(platform::loggedLines().empty());
}

namespace {

int dismissals = 0;
using DismissIMP = void (*)(id, SEL, id, BOOL, id);
DismissIMP savedDismiss = nullptr;

void countingDismiss(id self, SEL op, id controllers, BOOL animated, id completion)
{
    ++dismissals;
    savedDismiss(self, op, controllers, animated, completion);
}

} // namespace

TEST_F(LockScreenHooks, HidingTwiceDismissesOnce)
{
    const testing_support::ScopedHook hook(SBDashBoardMainPageContentViewController::classObject(),
        "dismissContentViewControllers:animated:completion:", &countingDismiss, &savedDismiss);
    presentPage();
    dismissals = 0;
    objc_msgSend<void>(content_.get(), "hideDGLView");
    objc_msgSend<void>(content_.get(), "hideDGLView");
    EXPECT_EQ(dismissals, 1);
    EXPECT_FALSE(pageShown());
    EXPECT_EQ(page_->retainCount(), 1);
}
