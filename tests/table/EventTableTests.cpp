#include "EventTableFixture.h"

#include "listview/DGLTableViewCell.h"

#include <UIKit/UIImageView.h>
#include <UIKit/UILabel.h>
#include <objc/runtime.h>
#include <platform/Log.h>

#include <gtest/gtest.h>

#include <set>

using namespace table_testing;

namespace {

constexpr CGRect listFrame { { 8, 150 }, { 359, 380 } };

Ref<NSIndexPath> path(NSInteger section, NSInteger row)
{
    return NSIndexPath::indexPathForRow(row, section);
}

Ref<DGLTableViewCell> cellFor(DGLEventTable& table, NSInteger section, NSInteger row)
{
    Ref<UITableViewCell> cell = table.tableViewCellForRowAtIndexPath(table.tableView(), path(section, row).get());
    return Ref<DGLTableViewCell>(dynamicCast<DGLTableViewCell>(cell.get()));
}

bool logged(const std::string& line)
{
    const std::vector<std::string> lines = platform::loggedLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Drawn at scale 2: the corners are cut round, rows show the table's colour,
// separators are one pixel when asked for, and nothing is drawn below the rows.
TEST(EventTableView, DrawsARoundedTableInItsColorWithSeparatorsWhenAsked)
{
    const UIImagePixel blue { 0, 0, 255, 255 }, separator { 200, 199, 204, 255 };
    const CGFloat row = systemLineHeight(14) + 14;
    for (bool separators : { true, false }) {
        auto table = makeStyledTable(CGRectMake(0, 0, 200, 300));
        table->setBackgroundColor(UIColor::blueColor().get());
        table->setShowsRowSeparators(separators);
        table->initViewWithSections(makeSections({ 2 }));
        EXPECT_FALSE(static_cast<UIView*>(table.get())->backgroundColor());
        const Ref<UIImage> image = UIViewRenderImage(table.get(), 2);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->pixelAt(0, 0).alpha, 0);
        EXPECT_EQ(image->pixelAt(200, 4), blue);
        const auto separatorRow = static_cast<std::size_t>(2 * row - 1);
        EXPECT_EQ(image->pixelAt(200, separatorRow), separators ? separator : blue);
        EXPECT_EQ(image->pixelAt(200, static_cast<std::size_t>(4 * row + 10)).alpha, 0);
    }
}

TEST(EventTableView, ShortListShrinksToItsContentAndStopsScrolling)
{
    platform::clearLog();
    auto table = makeStyledTable(listFrame);
    table->initViewWithSections(makeSections({ 2 }));
    UITableView* inner = table->tableView();
    const CGFloat content = 2 * (systemLineHeight(14) + 14);
    EXPECT_DOUBLE_EQ(inner->contentSize().height, content);
    EXPECT_DOUBLE_EQ(inner->frame().size.height, content);
    EXPECT_FALSE(inner->isScrollEnabled());
    EXPECT_EQ(table->frame(), listFrame);
    char line[128];
    std::snprintf(line, sizeof line,
        "self.tableView.frame.size.height=380.000000, self.tableView.contentSize.height=%f", content);
    EXPECT_TRUE(logged(line));
    EXPECT_TRUE(logged("DGL2: numberOfSectionsInTableView calendarEvents.count=1"));
}

TEST(EventTableView, LongListKeepsItsFrameAndScrolls)
{
    auto table = makeStyledTable(listFrame);
    table->initViewWithSections(makeSections({ 30 }));
    EXPECT_GT(table->tableView()->contentSize().height, listFrame.size.height);
    EXPECT_DOUBLE_EQ(table->tableView()->frame().size.height, listFrame.size.height);
    EXPECT_TRUE(table->tableView()->isScrollEnabled());
}

TEST(EventTableView, NothingToShowLeavesNoHeightOrOnlyOneBareDayHeader)
{
    auto none = makeStyledTable(listFrame);
    none->initViewWithSections(NSArray::array());
    EXPECT_DOUBLE_EQ(none->tableView()->frame().size.height, 0);
    EXPECT_FALSE(none->tableView()->isScrollEnabled());

    // Day grouping of no events gives one empty section and no header entries.
    auto grouped = makeStyledTable(listFrame);
    grouped->setGroupByDays(true);
    grouped->initViewWithSections(grouped->groupByDays(NSMutableArray::array().get()));
    UITableView* inner = grouped->tableView();
    EXPECT_DOUBLE_EQ(inner->frame().size.height, 36);
    grouped->layoutIfNeeded();
    UIView* header = inner->headerViewForSection(0);
    ASSERT_TRUE(header);
    ASSERT_EQ(header->subviews().size(), 3u);
    auto* icon = dynamicCast<UIImageView>(header->subviews()[1].get());
    auto* title = dynamicCast<UILabel>(header->subviews()[2].get());
    ASSERT_TRUE(icon && title);
    EXPECT_FALSE(icon->image());
    EXPECT_EQ(icon->backgroundColor()->red(), 1);
    EXPECT_EQ(title->displayedText(), "");
}

struct HeightCase {
    bool displayLocation;
    bool sameHeightRows;
    bool twoLinesWithLocation;
    bool twoLinesWithout;
};

class RowHeight : public ::testing::TestWithParam<HeightCase> { };

TEST_P(RowHeight, IsOneOrTwoSystemFontLinesAndSevenPointsAboveAndBelow)
{
    const HeightCase c = GetParam();
    auto table = makeStyledTable(listFrame);
    table->setDisplayLocation(c.displayLocation);
    table->setSameHeightRows(c.sameHeightRows);
    table->initViewWithSections(makeSections({ 2 }));
    const CGFloat oneLine = systemLineHeight(14) + 14, twoLines = oneLine + systemLineHeight(12);
    // Row 1 has a location, row 0 has none.
    EXPECT_DOUBLE_EQ(table->tableViewHeightForRowAtIndexPath(table->tableView(), path(0, 1).get()),
        c.twoLinesWithLocation ? twoLines : oneLine);
    EXPECT_DOUBLE_EQ(table->tableViewHeightForRowAtIndexPath(table->tableView(), path(0, 0).get()),
        c.twoLinesWithout ? twoLines : oneLine);
}

INSTANTIATE_TEST_SUITE_P(EventTableView, RowHeight,
    ::testing::Values(HeightCase { false, false, false, false }, HeightCase { false, true, false, false },
        HeightCase { true, false, true, false }, HeightCase { true, true, true, true }));

TEST(EventTableView, DayHeadersAre36HighOnlyWhenGroupedByDay)
{
    auto table = makeStyledTable(listFrame);
    table->initViewWithSections(makeSections({ 1, 1 }));
    EXPECT_DOUBLE_EQ(table->tableViewHeightForHeaderInSection(table->tableView(), 1), 0);
    table->setGroupByDays(true);
    EXPECT_DOUBLE_EQ(table->tableViewHeightForHeaderInSection(table->tableView(), 1), 36);
}

TEST(EventTableView, DayHeaderShowsTheDaysPageAndTitleOverAFaintBackdrop)
{
    auto table = makeStyledTable(listFrame);
    const Ref<UIColor> backdropColor = UIColor::whiteColor(), textColor = UIColor::darkGrayColor();
    table->setSectionHeaderBackgroundColor(backdropColor.get());
    table->setSectionHeaderTextColor(textColor.get());
    table->setHeaderIsUppercase(true);
    table->initViewWithSections(makeSections({ 1 }));
    const Ref<UIImage> page = DGLEventTable::createCalendarIconForDate(NSDate::date().get());
    const Ref<NSString> stored = "Tomorrow"_ns;
    auto headers = NSMutableArray::array({ NSDictionary::dictionary({ { "title"_ns, stored }, { "icon"_ns, page } }) });
    object_setIvar(
        table.get(), class_getInstanceVariable(DGLEventTable::classObject(), "sectionHeaders"), headers.get());

    Ref<UIView> header = table->tableViewViewForHeaderInSection(table->tableView(), 0);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->frame(), CGRectMake(0, 0, 359, 36));
    EXPECT_EQ(header->backgroundColor()->alpha(), 0);
    ASSERT_EQ(header->subviews().size(), 3u);

    UIView* backdrop = header->subviews()[0].get();
    EXPECT_EQ(backdrop->frame(), CGRectMake(0, 0, 359, 36));
    EXPECT_EQ(backdrop->backgroundColor(), backdropColor.get());
    EXPECT_DOUBLE_EQ(backdrop->alpha(), 0.2);
    EXPECT_EQ(backdrop->autoresizingMask(), 18u);

    auto* icon = dynamicCast<UIImageView>(header->subviews()[1].get());
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->image(), page.get());
    EXPECT_EQ(icon->frame(), CGRectMake(8, 8, 20, 20));
    EXPECT_TRUE(icon->backgroundColor()->isEqual(UIColor::whiteColor().get()));

    auto* title = dynamicCast<UILabel>(header->subviews()[2].get());
    ASSERT_TRUE(title);
    EXPECT_EQ(title->frame(), CGRectMake(36, 8, 359, 20));
    EXPECT_EQ(title->text()->UTF8String(), "TOMORROW");
    EXPECT_EQ(stored->UTF8String(), "Tomorrow");
    EXPECT_EQ(title->textColor(), textColor.get());
    EXPECT_DOUBLE_EQ(title->font()->pointSize(), 13);

    table->setHeaderIsUppercase(false);
    header = table->tableViewViewForHeaderInSection(table->tableView(), 0);
    EXPECT_EQ(dynamicCast<UILabel>(header->subviews()[2].get())->text()->UTF8String(), "Tomorrow");
}

// Checked on the laid-out row, so that each setting is seen to arrive where it shows.
TEST(EventTableView, CellShowsItsEventInTheTablesStyle)
{
    auto table = makeStyledTable(listFrame);
    const Ref<UIColor> subtitle = UIColor::darkGrayColor(), date = UIColor::brownColor();
    table->setTitleColor(UIColor::blackColor().get());
    table->setSubtitleColor(subtitle.get());
    table->setDateColor(date.get());
    table->setDateIsRightAligned(true);
    table->setTitleColorSameAsCalendarColor(true);
    table->setDisplayLocation(true);
    table->initViewWithSections(makeSections({ 2 }));

    Ref<DGLTableViewCell> cell = cellFor(*table, 0, 1);
    ASSERT_TRUE(cell);
    cell->setFrame(CGRectMake(0, 0, listFrame.size.width, 46));
    cell->layoutIfNeeded();
    const DGLEKEVent* event = table->eventAtIndexPath(path(0, 1).get());
    EXPECT_EQ(cell->lblEventName()->text()->UTF8String(), "Event 0.1");
    EXPECT_EQ(cell->lblEventLocation()->text()->UTF8String(), "Room 1");
    EXPECT_TRUE(cell->lblEventDate()->text()->isEqual(
        DGLEventTable::createPrettyDateFrom(event->startDate(), event->isAllDay()).get()));
    EXPECT_EQ(cell->lblEventName()->textColor(), event->calendarColor());
    EXPECT_EQ(cell->lblEventLocation()->textColor(), subtitle.get());
    EXPECT_EQ(cell->lblEventDate()->textColor(), date.get());
    EXPECT_DOUBLE_EQ(cell->lblEventName()->font()->pointSize(), 14);
    EXPECT_DOUBLE_EQ(cell->lblEventLocation()->font()->pointSize(), 12);
    EXPECT_DOUBLE_EQ(cell->lblEventDate()->font()->pointSize(), 11);
    EXPECT_DOUBLE_EQ(CGRectGetMaxX(cell->lblEventDate()->frame()), listFrame.size.width - 10);
    EXPECT_EQ(cell->scrollView()->delegate(), static_cast<UIScrollViewDelegate*>(table.get()));

    // A row without a location, and any row while locations are off, has no second line.
    for (auto [display, row] : { std::pair { true, 0 }, std::pair { false, 1 } }) {
        table->setDisplayLocation(display);
        cell = cellFor(*table, 0, row);
        EXPECT_FALSE(cell->displayLocation());
        EXPECT_EQ(cell->lblEventLocation()->text()->UTF8String(), "");
    }
}

TEST(EventTableView, RowScrollViewIsTaggedWithSectionTimes1000PlusRow)
{
    auto table = makeStyledTable(listFrame);
    table->initViewWithSections(makeSections({ 1, 1, 6 }));
    EXPECT_EQ(cellFor(*table, 2, 5)->scrollView()->tag(), 2005);
    EXPECT_EQ(cellFor(*table, 0, 0)->scrollView()->tag(), 0);
}

// The colour at a point of an icon image.
UIImagePixel pixel(const UIImage* image, std::size_t x, std::size_t y)
{
    return image ? image->pixelAt(x, y) : UIImagePixel {};
}

TEST(EventTableView, IconFollowsTheIconType)
{
    const Ref<UIColor> red = UIColor::redColor();
    const UIImagePixel redPixel { 255, 0, 0, 255 };
    auto table = makeStyledTable(listFrame);
    auto events = NSMutableArray::array({ makeEvent("Dentist", NSDate::date().get(), "", red.get()) });
    table->initViewWithSections(NSArray::array({ events }).get());

    table->setIconType(DGLIconTypeNone);
    Ref<DGLTableViewCell> cell = cellFor(*table, 0, 0);
    EXPECT_FALSE(cell->showsIcon());
    EXPECT_FALSE(cell->iconView()->image());

    // 80-point images with a disc of 30 or 50 points across in the calendar's colour.
    for (DGLIconType type : { DGLIconTypeDot, DGLIconTypeLargeDot }) {
        table->setIconType(type);
        cell = cellFor(*table, 0, 0);
        EXPECT_TRUE(cell->showsIcon());
        const UIImage* dot = cell->iconView()->image();
        ASSERT_TRUE(dot);
        EXPECT_EQ(dot->size(), CGSizeMake(80, 80));
        EXPECT_EQ(pixel(dot, 40, 27), redPixel);
        EXPECT_EQ(pixel(dot, 40, 20) == redPixel, type == DGLIconTypeLargeDot);
    }

    table->setIconType(DGLIconTypeCalendarPage);
    cell = cellFor(*table, 0, 0);
    EXPECT_TRUE(cell->showsIcon());
    ASSERT_TRUE(cell->iconView()->image());
    EXPECT_EQ(cell->iconView()->image()->size(), CGSizeMake(64, 64));
    EXPECT_TRUE(cell->iconView()->backgroundColor()->isEqual(UIColor::whiteColor().get()));
}

TEST(EventTableView, ScrolledRowsReuseCellsWithoutStaleTexts)
{
    auto table = makeStyledTable(CGRectMake(0, 0, 359, 120));
    table->setDisplayLocation(true);
    table->initViewWithSections(makeSections({ 40 }));
    UITableView* inner = table->tableView();
    std::set<const UITableViewCell*> cells;
    for (CGFloat offset = 0; offset + 120 <= inner->contentSize().height; offset += 17) {
        inner->setContentOffset(CGPointMake(0, offset));
        table->layoutIfNeeded();
        for (UITableViewCell* visible : inner->visibleCells())
            cells.insert(visible);
        for (const Ref<NSIndexPath>& row : inner->indexPathsForVisibleRows()) {
            auto* cell = dynamicCast<DGLTableViewCell>(inner->cellForRowAtIndexPath(row.get()));
            ASSERT_TRUE(cell);
            EXPECT_EQ(cell->lblEventName()->text()->UTF8String(), "Event 0." + std::to_string(row->row()));
            EXPECT_EQ(cell->lblEventLocation()->text()->UTF8String(),
                row->row() % 2 ? "Room " + std::to_string(row->row()) : "");
            EXPECT_EQ(cell->scrollView()->tag(), row->row());
        }
    }
    EXPECT_LT(cells.size(), 10u);
}

} // namespace
