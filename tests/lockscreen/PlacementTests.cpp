#include "LockScreenFixture.h"

#include <tweak/DGLCollectionFooterView.h>
#include <tweak/EventTablePlacement.h>

#include <UIKit/UIViewControllerTransitionCoordinator.h>
#include <platform/Log.h>

#include <algorithm>

namespace {

bool logged(const std::string& line)
{
    const auto lines = platform::loggedLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

} // namespace

TEST_F(LockScreen, TheTypicalRoad)
{
    const CGRect suggested = list()->suggestedListViewFrame();

    // Woken without notifications: the own page, with its table at the suggested frame.
    springBoard().wake();
    ASSERT_EQ(pages()->count(), 1u);
    Ref<NSObject> page = pages()->objectAtIndex(0);
    EXPECT_STREQ(class_getName(object_getClass(page.get())), dglPageClassName);
    EXPECT_EQ(page.get(), dglDashBoardViewController);
    Ref<UIView> table = ownPageTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->frame(), insetFrame(suggested));
    EXPECT_EQ(objc_msgSend<id>(page.get(), "dglEventTable"), table.get());

    // A notification: the page goes, a new table sits in the last section's footer.
    springBoard().notify("Messages", "Anna", "Lunch at one?");
    EXPECT_EQ(pages()->count(), 0u);
    EXPECT_EQ(dglDashBoardViewController, nullptr);
    EXPECT_EQ(ownPageTable(), nullptr);
    UICollectionReusableView* footer = lastFooter();
    ASSERT_NE(dynamicCast<DGLCollectionFooterView>(footer), nullptr);
    ASSERT_NE(dglCollectionFooterEventTable, nullptr);
    EXPECT_NE(static_cast<UIView*>(dglCollectionFooterEventTable), table.get());
    EXPECT_EQ(dglCollectionFooterEventTable->superview(), dglCollectionFooterEventTableContainer);
    EXPECT_EQ(dglCollectionFooterEventTableContainer->superview(), footer);
    EXPECT_EQ(dglCollectionFooterEventTable->frame(), CGRectMake(8, 0, suggested.size.width - 16, dglEventTableHeight));
    EXPECT_EQ(footer->frame().size.height, dglEventTableHeight);
    EXPECT_FALSE(dglCollectionFooterEventTable->tableView()->isScrollEnabled());

    // Cleared: a new own page with a new table.
    springBoard().clearAll();
    ASSERT_EQ(pages()->count(), 1u);
    EXPECT_NE(pages()->objectAtIndex(0), page.get());
    ASSERT_NE(ownPageTable(), nullptr);
    EXPECT_NE(ownPageTable(), table.get());

    // Unlocked: the line, and no page.
    platform::clearLog();
    springBoard().unlock();
    EXPECT_TRUE(logged(dismissalLine));
    EXPECT_EQ(pages()->count(), 0u);
    EXPECT_EQ(dglDashBoardViewController, nullptr);
}

// Page presented × list shown: present, move into the footer, or leave all as it is.
TEST_F(LockScreen, ThePlacementFollowsThePageAndTheList)
{
    springBoard().wake(); // no, no: a page
    NSObject* page = dglDashBoardViewController;
    ASSERT_NE(page, nullptr);
    addOrRemoveList(); // yes, no: the page stays
    EXPECT_EQ(dglDashBoardViewController, page);
    EXPECT_EQ(pages()->count(), 1u);
    EXPECT_EQ(static_cast<SBDashBoardViewControllerBase*>(page)->appearanceCount(), 1);

    springBoard().notify("Mail", "Invoice", "Due Friday"); // yes, yes: the footer
    DGLEventTable* footerTable = dglCollectionFooterEventTable;
    ASSERT_NE(footerTable, nullptr);
    springBoard().notify("Mail", "Reminder", "Due tomorrow"); // no, yes: nothing
    EXPECT_EQ(dglCollectionFooterEventTable, footerTable);
    EXPECT_EQ(dglDashBoardViewController, nullptr);
    EXPECT_EQ(lastFooter()->subviews().back().get(), dglCollectionFooterEventTableContainer);
}

TEST_F(LockScreen, AnEmptySuggestedFrameGivesTheFallbackInBothPlaces)
{
    const CGRect fallback = CGRectMake(10, 200, 300, 300);
    list()->setSuggestedListViewFrame(CGRectMake(0, 100, 0, 400));
    springBoard().wake();
    ASSERT_NE(ownPageTable(), nullptr);
    EXPECT_EQ(ownPageTable()->frame(), fallback);
    EXPECT_TRUE(logged("DGL2: did not get suggested frame!"));

    platform::clearLog();
    springBoard().notify("Messages", "Anna", "Lunch?");
    ASSERT_NE(dglCollectionFooterEventTable, nullptr);
    EXPECT_EQ(dglCollectionFooterEventTable->frame(), fallback);
    EXPECT_EQ(dglEventTableHeight, 300);
    EXPECT_TRUE(logged("DGL2: did not get suggested frame!"));
}

// Switched off, the extension leaves every SpringBoard behaviour as it was; only
// the footer methods, which never ask, still size the last footer.
TEST_F(LockScreen, SwitchedOffTheLockScreenIsSpringBoardsOwn)
{
    isEnabled = NO;
    springBoard().wake();
    EXPECT_EQ(pages()->count(), 0u);
    springBoard().notify("Messages", "Anna", "Lunch?");
    EXPECT_TRUE(springBoard().isNotificationListShown());
    EXPECT_EQ(dglCollectionFooterEventTable, nullptr);
    springBoard().clearAll();
    EXPECT_FALSE(springBoard().isNotificationListShown());
    EXPECT_EQ(pages()->count(), 0u);
    springBoard().unlock();
    EXPECT_FALSE(logged(dismissalLine));
    EXPECT_EQ(springBoard().content()->receivedEventTypes().back(), 4);
    EXPECT_EQ(springBoard().idleTimerDuration(), SBDashBoardMainPageViewController::defaultIdleTimerDuration);
}

TEST_F(LockScreen, APageShownWhileTheScreenIsDarkBuildsItsTableOnlyOnceInView)
{
    springBoard().wake();
    springBoard().notify("Messages", "Anna", "Lunch?");
    springBoard().lock();
    springBoard().clearAll(); // dark screen: the page is presented, not yet in view
    ASSERT_NE(dglDashBoardViewController, nullptr);
    EXPECT_EQ(objc_msgSend<id>(dglDashBoardViewController, "dglEventTable"), nullptr);
    springBoard().wake();
    EXPECT_NE(ownPageTable(), nullptr);
}

TEST_F(LockScreen, AResizeReframesTheOwnPageTableAndCentresAListRightOfX200)
{
    springBoard().wake();
    auto resize = [&](CGRect suggested, CGFloat width) {
        list()->setSuggestedListViewFrame(suggested);
        auto coordinator = makeRef<UIViewControllerTransitionCoordinator>();
        objc_msgSend<void>(springBoard().content(),
            "viewWillTransitionToSize:withTransitionCoordinator:", CGSizeMake(width, 768),
            static_cast<id>(coordinator.get()));
        coordinator->performTransition(
            [&] { springBoard().content()->view()->setFrame(CGRectMake(0, 0, width, 768)); });
        return ownPageTable()->frame();
    };
    EXPECT_EQ(resize(CGRectMake(250, 120, 400, 500), 1024), CGRectMake(320, 120, 384, 430));
    EXPECT_EQ(resize(CGRectMake(200, 120, 400, 500), 1024), CGRectMake(208, 120, 384, 430));
    EXPECT_EQ(resize(CGRectMake(16, 120, 343, 500), 375), CGRectMake(24, 120, 327, 430));

    // SpringBoard's own turn of an iPad to landscape suggests a centred column right of x 200.
    springBoard().setDeviceModel(*host::findDeviceModel("ipad"));
    springBoard().rotate(host::Orientation::Landscape);
    const CGRect area = springBoard().layout().notificationArea;
    ASSERT_GT(area.origin.x, 200);
    EXPECT_EQ(ownPageTable()->frame(),
        insetFrame(CGRectMake((1024 - area.size.width) / 2, area.origin.y, area.size.width, area.size.height)));
}
