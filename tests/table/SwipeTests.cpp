#include "EventTableFixture.h"
#include "PinnedHost.h"

#include "listview/DGLTableViewCell.h"

#include <Foundation/NSValue.h>
#include <MobileCoreServices/LSApplicationWorkspace.h>
#include <dispatch/dispatch.h>
#include <platform/Log.h>

#include <gtest/gtest.h>

#include <thread>

using dates_testing::utc;
using namespace table_testing;

namespace {

const std::string pulledLine = "DGL2: scrollViewDidEndDraggingo customLaunchAppBundleID:(null), self.swipeAction=1";

// Sections of `rowsPerSection[s]` events, each linked to "x-apple-calevent://event-S-R".
Ref<NSArray> linkedSections(const std::vector<int>& rowsPerSection)
{
    Ref<NSArray> sections = makeSections(rowsPerSection);
    for (NSUInteger s = 0; s < sections->count(); ++s) {
        const auto* events = dynamicCast<NSArray>(sections->objectAtIndex(s));
        for (NSUInteger r = 0; r < events->count(); ++r)
            dynamicCast<DGLEKEVent>(events->objectAtIndex(r))
                ->setURL(NSURL::URLWithString(
                    "x-apple-calevent://event-" + std::to_string(s) + "-" + std::to_string(r) + "?o=0.0")
                             .get());
    }
    return sections;
}

// A laid-out list that opens events in the calendar through the system workspace.
Ref<PreloadedEventTable> swipeTable(Ref<NSArray> sections, DGLSwipeAction action)
{
    auto table = makeStyledTable(CGRectMake(8, 150, 359, 380));
    table->setSwipeAction(action);
    table->setLsApplicationWorkspace(LSApplicationWorkspace::defaultWorkspace());
    table->setOpenApplicationOptions(
        NSDictionary::dictionary({ { NSString::string("__UnlockDevice"), NSNumber::numberWithInteger(1) } }).get());
    table->initViewWithSections(std::move(sections));
    table->layoutIfNeeded();
    platform::clearLog();
    return table;
}

// The row's scroll view, the row scrolled into view as a finger would scroll it.
UIScrollView* rowScrollView(DGLEventTable& table, NSInteger section, NSInteger row)
{
    UITableView* inner = table.tableView();
    const Ref<NSIndexPath> indexPath = NSIndexPath::indexPathForRow(row, section);
    const CGFloat top
        = std::min(inner->rectForRowAtIndexPath(indexPath.get()).origin.y, inner->maximumContentOffset().y);
    inner->setContentOffset(CGPointMake(0, top));
    inner->setNeedsLayout();
    inner->layoutIfNeeded();
    auto* cell = dynamicCast<DGLTableViewCell>(inner->cellForRowAtIndexPath(indexPath.get()));
    return cell ? cell->scrollView() : nullptr;
}

// A drag by the finger that lets go with the content `distance` points right of its rest.
void pull(UIScrollView* view, CGFloat distance)
{
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->beginDragging());
    view->dragBy(CGPointMake(UIScrollView::rubberBandOvershoot(distance, view->bounds().size.width), 0));
    view->endDragging();
}

// The URLs the workspace was asked to open since the last call, once the queues ran.
std::vector<std::string> openedURLs()
{
    dispatch_drain_global_queues();
    LSApplicationWorkspace* workspace = LSApplicationWorkspace::defaultWorkspace();
    std::vector<std::string> urls;
    for (const LSApplicationWorkspace::OpenRequest& request : workspace->openRequests())
        urls.push_back(request.url ? request.url->absoluteString()->UTF8String() : std::string("(nil)"));
    workspace->clearOpenRequests();
    return urls;
}

class Swipe : public testing::Test {
protected:
    void SetUp() override { openedURLs(); }
};

// The content lets go at −80 points: nothing; at −80.5 the row's event opens.
// Vertical drags of the list or of a row never leave x below 0.
TEST_F(Swipe, ActsOnlyPastEightyPointsToTheRight)
{
    auto table = swipeTable(linkedSections({ 30 }), DGLSwipeActionOpenEvent);
    pull(rowScrollView(*table, 0, 0), 80.0);
    EXPECT_EQ(rowScrollView(*table, 0, 0)->contentOffset(), CGPointZero);
    UITableView* inner = table->tableView();
    ASSERT_TRUE(inner->beginDragging());
    inner->dragBy(CGPointMake(200, -300));
    inner->endDragging();
    UIScrollView* row = rowScrollView(*table, 0, 1);
    ASSERT_TRUE(row->beginDragging());
    row->dragBy(CGPointMake(0, 200));
    row->endDragging();
    EXPECT_TRUE(platform::loggedLines().empty());
    EXPECT_TRUE(openedURLs().empty());

    pull(rowScrollView(*table, 0, 0), 80.5);
    EXPECT_EQ(platform::loggedLines(), std::vector<std::string> { pulledLine });
    EXPECT_EQ(openedURLs(), std::vector<std::string> { "x-apple-calevent://event-0-0?o=0.0" });
}

// Tag 2005 is row 5 of section 2. Only the offset's x at release decides, on
// either side of exactly −80, whether or not the view goes on moving.
TEST_F(Swipe, FindsTheRowByItsTagAndDecidesByTheOffsetAlone)
{
    auto table = swipeTable(linkedSections({ 1, 1, 6 }), DGLSwipeActionOpenEvent);
    UIScrollView* row = rowScrollView(*table, 2, 5);
    EXPECT_EQ(row->tag(), 2005);
    for (bool decelerate : { true, false }) {
        row->setContentOffset(CGPointMake(-80, 0));
        table->scrollViewDidEndDragging(row, decelerate);
        EXPECT_TRUE(openedURLs().empty()) << decelerate;
        row->setContentOffset(CGPointMake(-80.5, 37));
        table->scrollViewDidEndDragging(row, decelerate);
        EXPECT_EQ(openedURLs(), std::vector<std::string> { "x-apple-calevent://event-2-5?o=0.0" }) << decelerate;
    }
}

// The workspace is called on a global queue with the table's options; the block
// keeps the table and the event until it has run.
TEST_F(Swipe, OpensTheEventOnAGlobalQueueWithTheTablesOptions)
{
    auto table = swipeTable(linkedSections({ 2 }), DGLSwipeActionOpenEvent);
    Ref<NSDictionary> options(table->openApplicationOptions());
    pull(rowScrollView(*table, 0, 1), 90);
    table = nullptr;
    dispatch_drain_global_queues();
    const std::vector<LSApplicationWorkspace::OpenRequest> requests
        = LSApplicationWorkspace::defaultWorkspace()->openRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].url->absoluteString()->UTF8String(), "x-apple-calevent://event-0-1?o=0.0");
    EXPECT_EQ(requests[0].options.get(), options.get());
    EXPECT_NE(requests[0].thread, std::this_thread::get_id());
}

// The outside calendar gets the local day of the start, without leading zeros,
// from the main thread; 23:30 in New York is already the next day in UTC.
TEST_F(Swipe, OpensTheStartDayElsewhere)
{
    dates_testing::PinnedHost host("en_US", "America/New_York");
    auto table = swipeTable(NSArray::array({ NSArray::array({ makeEvent("Brunch", utc(2017, 3, 5, 14).get()),
                                makeEvent("Late train", utc(2018, 1, 10, 4, 30).get()) }) }),
        DGLSwipeActionOpenDayElsewhere);
    pull(rowScrollView(*table, 0, 0), 90);
    pull(rowScrollView(*table, 0, 1), 90);
    const std::vector<LSApplicationWorkspace::OpenRequest> requests
        = LSApplicationWorkspace::defaultWorkspace()->openRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].thread, std::this_thread::get_id());
    EXPECT_EQ(openedURLs(),
        (std::vector<std::string> { "fantastical2://show?date=2017-3-5", "fantastical2://show?date=2018-1-9" }));
}

// No action, or an application to launch that is not named: the first line only.
TEST_F(Swipe, WithNothingToDoLogsOnlyThePull)
{
    auto table = swipeTable(linkedSections({ 1 }), DGLSwipeActionNone);
    pull(rowScrollView(*table, 0, 0), 100);
    table->setSwipeAction(DGLSwipeActionLaunchApplication);
    table->setCustomLaunchAppBundleID(NSString::string().get());
    pull(rowScrollView(*table, 0, 0), 100);
    EXPECT_EQ(platform::loggedLines(),
        (std::vector<std::string> {
            "DGL2: scrollViewDidEndDraggingo customLaunchAppBundleID:(null), self.swipeAction=0",
            "DGL2: scrollViewDidEndDraggingo customLaunchAppBundleID:, self.swipeAction=3" }));
    EXPECT_TRUE(openedURLs().empty());
}

// A row kept from before the list was reloaded, and a damaged tag, address no
// event: nothing opens and nothing is raised.
TEST_F(Swipe, ARowThatAddressesNoEventOpensNothing)
{
    auto table = swipeTable(linkedSections({ 4 }), DGLSwipeActionOpenEvent);
    Ref<UIScrollView> stale(rowScrollView(*table, 0, 3));
    table->initViewWithSections(linkedSections({ 2 }));
    platform::clearLog();
    pull(stale.get(), 90);
    UIScrollView* damaged = rowScrollView(*table, 0, 0);
    damaged->setTag(-7);
    pull(damaged, 90);
    EXPECT_EQ(platform::loggedLines(),
        (std::vector<std::string> { pulledLine, "DGL2: no event at section 0, row 3 (tag 3); the swipe does nothing",
            pulledLine, "DGL2: no event at section 0, row -7 (tag -7); the swipe does nothing" }));
    EXPECT_TRUE(openedURLs().empty());
}

// Row 1000 of section 0 would read as row 0 of section 1: it opens nothing
// rather than another event, and row 999 still opens its own.
TEST_F(Swipe, RowsFromAThousandOnNeverOpenAnotherEvent)
{
    auto table = swipeTable(linkedSections({ 1001, 1 }), DGLSwipeActionOpenEvent);
    pull(rowScrollView(*table, 0, 1000), 90);
    EXPECT_TRUE(openedURLs().empty());
    pull(rowScrollView(*table, 0, 999), 90);
    EXPECT_EQ(rowScrollView(*table, 0, 999)->tag(), 999);
    EXPECT_EQ(openedURLs(), std::vector<std::string> { "x-apple-calevent://event-0-999?o=0.0" });
}

} // namespace
