#include "listview/DGLEventTable.h"
#include "listview/DGLTableViewCell.h"

#include <ImagePixels.h>
#include <UIKit/UIStringDrawing.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr CGFloat rowWidth = 359;
constexpr CGFloat rowHeight = 46;

// What a label in the cell's face measures, worked out apart from the cell.
CGSize fitted(const char* text, CGFloat size)
{
    const CGSize measured = NSStringSizeWithFont(text, UIFont::fontWithName("HelveticaNeue", size).get());
    return CGSizeMake(std::ceil(measured.width), std::ceil(measured.height));
}

void expectFrame(const UIView* view, CGRect expected)
{
    const CGRect frame = view->frame();
    EXPECT_DOUBLE_EQ(frame.origin.x, expected.origin.x);
    EXPECT_DOUBLE_EQ(frame.origin.y, expected.origin.y);
    EXPECT_DOUBLE_EQ(frame.size.width, expected.size.width);
    EXPECT_DOUBLE_EQ(frame.size.height, expected.size.height);
}

class Cell : public ::testing::Test {
protected:
    Ref<DGLTableViewCell> cell = makeRef<DGLTableViewCell>(UITableViewCellStyleDefault, "DGLTableViewCell"_ns.get());

    // A row as the event table sets one up, at title 14, location 12, date 11.
    void configure(const char* title, const char* date, const char* location = "")
    {
        cell->lblEventName()->setText(title);
        cell->lblEventDate()->setText(date);
        cell->lblEventLocation()->setText(location);
        cell->setDisplayLocation(*location != '\0');
        cell->setTitleStyle({ 14, nullptr });
        cell->setSubtitleStyle({ 12, nullptr });
        cell->setDateStyle({ 11, nullptr });
    }

    void layOut(CGFloat width = rowWidth, CGFloat height = rowHeight)
    {
        // New texts alone do not ask the cell for a layout pass, as in UIKit.
        cell->setFrame(CGRectMake(0, 0, width, height));
        cell->setNeedsLayout();
        cell->layoutIfNeeded();
    }
};

TEST_F(Cell, HoldsItsViewsInAScrollViewThatOnlyBounces)
{
    UIScrollView* scroll = cell->scrollView();
    ASSERT_FALSE(cell->contentView()->subviews().empty());
    EXPECT_EQ(cell->contentView()->subviews().front().get(), scroll);
    for (UIView* view : std::initializer_list<UIView*> {
             cell->lblEventName(), cell->lblEventDate(), cell->lblEventLocation(), cell->iconView() })
        EXPECT_EQ(view->superview(), scroll);

    configure("Standup", "9:30 AM");
    layOut();
    expectFrame(scroll, CGRectMake(0, 0, rowWidth, rowHeight));
    EXPECT_EQ(scroll->contentSize(), CGSizeMake(rowWidth, rowHeight));

    // A sideways pull moves every view together and springs back on release.
    ASSERT_TRUE(scroll->beginDragging());
    scroll->dragBy(CGPointMake(60, 0));
    EXPECT_LT(scroll->contentOffset().x, 0);
    EXPECT_LT(cell->lblEventName()->convertRectToView(cell->lblEventName()->bounds(), cell.get()).origin.x, 10 + 60);
    EXPECT_GT(cell->lblEventName()->convertRectToView(cell->lblEventName()->bounds(), cell.get()).origin.x, 10);
    scroll->endDragging();
    EXPECT_EQ(scroll->contentOffset(), CGPointZero);
}

TEST_F(Cell, IconSitsCentredAtTheLeftAndIndentsTheTexts)
{
    configure("Standup", "9:30 AM");
    cell->setShowsIcon(true);
    layOut();
    expectFrame(cell->iconView(), CGRectMake(8, 13, 20, 20));
    EXPECT_DOUBLE_EQ(cell->lblEventName()->frame().origin.x, 38);

    cell->setShowsIcon(false);
    layOut();
    expectFrame(cell->iconView(), CGRectZero);
    EXPECT_DOUBLE_EQ(cell->lblEventName()->frame().origin.x, 10);
}

TEST_F(Cell, RightAlignedDateEndsTenPointsInsideAndLeavesTheTitleTheRest)
{
    configure("Standup", "Tomorrow, 9:30 AM");
    cell->setDateIsRightAligned(true);
    layOut();
    const CGSize title = fitted("Standup", 14), date = fitted("Tomorrow, 9:30 AM", 11);
    const CGFloat titleY = (rowHeight - title.height) / 2;
    expectFrame(cell->lblEventName(), CGRectMake(10, titleY, rowWidth - 10 - date.width - 20, title.height));
    expectFrame(cell->lblEventDate(),
        CGRectMake(rowWidth - date.width - 10, titleY + title.height - date.height, date.width, date.height));
}

TEST_F(Cell, DateFollowsAShortTitleButALongTitleIsLaidOutAsWithARightAlignedDate)
{
    configure("Standup", "9:30 AM");
    cell->setShowsIcon(true);
    layOut();
    const CGSize title = fitted("Standup", 14), date = fitted("9:30 AM", 11);
    EXPECT_DOUBLE_EQ(cell->lblEventName()->frame().size.width, title.width);
    EXPECT_DOUBLE_EQ(cell->lblEventDate()->frame().origin.x, 38 + title.width + 10);

    const char* longTitle = "Quarterly planning with the whole product team, the designers and our guests";
    cell->lblEventName()->setText(longTitle);
    layOut();
    ASSERT_GT(fitted(longTitle, 14).width, rowWidth);
    EXPECT_DOUBLE_EQ(cell->lblEventName()->frame().size.width, rowWidth - 38 - date.width - 20);
    EXPECT_DOUBLE_EQ(cell->lblEventDate()->frame().origin.x, rowWidth - date.width - 10);
    const std::string shown = cell->lblEventName()->displayedText();
    EXPECT_TRUE(shown.ends_with("…")) << shown;
    EXPECT_TRUE(std::string(longTitle).starts_with(shown.substr(0, shown.size() - std::string("…").size())));
}

TEST_F(Cell, DateWiderThanTheRowLeavesTheTitleNoWidthRatherThanANegativeOne)
{
    configure("Standup", "Wednesday, 9:30 AM, a very long date text indeed");
    layOut(120);
    EXPECT_DOUBLE_EQ(cell->lblEventName()->frame().size.width, 0);
}

TEST_F(Cell, TitleAloneIsCentredAndWithALocationBothLinesAreCentredTogether)
{
    configure("Dentist", "10:15 PM");
    layOut();
    const CGSize title = fitted("Dentist", 14), location = fitted("Dr. Weber, Hauptstr. 5", 12);
    EXPECT_DOUBLE_EQ(cell->lblEventName()->frame().origin.y, (rowHeight - title.height) / 2);

    configure("Dentist", "10:15 PM", "Dr. Weber, Hauptstr. 5");
    layOut();
    const CGFloat titleY = (rowHeight - title.height - location.height) / 2;
    EXPECT_DOUBLE_EQ(cell->lblEventName()->frame().origin.y, titleY);
    expectFrame(cell->lblEventLocation(), CGRectMake(10, titleY + title.height, location.width, location.height));
    const CGRect date = cell->lblEventDate()->frame();
    EXPECT_DOUBLE_EQ(date.origin.y + date.size.height, titleY + title.height);
}

TEST_F(Cell, TakesFontsInTheTitlesFaceAndColorsFromItsProperties)
{
    configure("Dentist", "10:15 PM", "Dr. Weber");
    const Ref<UIColor> blue = UIColor::blueColor(), green = UIColor::greenColor(), brown = UIColor::brownColor(),
                       purple = UIColor::purpleColor();
    cell->setTitleStyle({ 14, blue });
    cell->setSubtitleStyle({ 12, green });
    cell->setDateStyle({ 11, brown });
    cell->setCalendarColor(purple.get());
    layOut();
    for (auto [label, size] : { std::pair { cell->lblEventName(), 14.0 }, std::pair { cell->lblEventLocation(), 12.0 },
             std::pair { cell->lblEventDate(), 11.0 } }) {
        EXPECT_STREQ(label->font()->fontName()->UTF8String().c_str(), "HelveticaNeue");
        EXPECT_DOUBLE_EQ(label->font()->pointSize(), size);
    }
    EXPECT_EQ(cell->lblEventName()->textColor(), blue.get());
    EXPECT_EQ(cell->lblEventLocation()->textColor(), green.get());
    EXPECT_EQ(cell->lblEventDate()->textColor(), brown.get());

    cell->setTitleColorSameAsCalendarColor(true);
    layOut();
    EXPECT_EQ(cell->lblEventName()->textColor(), purple.get());
}

TEST_F(Cell, ReuseClearsTextsAndIconButKeepsTheSettings)
{
    configure("Dentist", "10:15 PM", "Dr. Weber");
    cell->setShowsIcon(true);
    cell->iconView()->setImage(DGLEventTable::drawColoredDotWithColor(UIColor::redColor().get(), 30).get());
    cell->iconView()->setBackgroundColor(UIColor::whiteColor().get());
    layOut();

    cell->prepareForReuse();
    for (UILabel* label : { cell->lblEventName(), cell->lblEventDate(), cell->lblEventLocation() })
        EXPECT_EQ(label->text()->UTF8String(), "");
    EXPECT_FALSE(cell->iconView()->image());
    EXPECT_EQ(cell->iconView()->backgroundColor()->alpha(), 0);
    EXPECT_TRUE(cell->showsIcon());
    EXPECT_DOUBLE_EQ(cell->titleStyle().size, 14);
}

} // namespace

// A title's emoji draws in colour and at the title's size, from the emoji face
// the font configuration puts after every face, not as a box of hex digits.
TEST_F(Cell, EmojiInATitleDrawInColor)
{
    configure("\U0001F382 Birthday", "10:15 PM");
    layOut();
    const Ref<UIImage> image = testing_support::drawImage(
        CGSizeMake(rowWidth, rowHeight), [&] { cell->drawViewHierarchyInRect(cell->bounds()); });
    const CGRect colored = testing_support::boundsOf(*image, [](UIImagePixel p) {
        const int spread = std::max({ p.red, p.green, p.blue }) - std::min({ p.red, p.green, p.blue });
        return p.alpha > 128 && spread > 100;
    });
    // One glyph at the start of the title, scaled to the title's 14 points.
    EXPECT_FALSE(CGRectIsEmpty(colored));
    EXPECT_LT(colored.origin.x, cell->lblEventName()->frame().origin.x + 5) << colored.origin.x;
    EXPECT_LE(colored.size.width, 18) << colored.size.width;
}
