#include "ImagePixels.h"
#include "PinnedHost.h"

#include "listview/DGLEventTable.h"

#include <UIKit/UIFont.h>

#include <gtest/gtest.h>

#include <cmath>

using dates_testing::PinnedHost;
using dates_testing::utc;
using namespace testing_support;

namespace {

// Noon UTC is the same day in Berlin.
Ref<UIImage> iconFor(int year, unsigned month, unsigned day)
{
    return DGLEventTable::createCalendarIconForDate(utc(year, month, day, 12).get());
}

// The weekday is one line from the top of its box: a wrapped second line would
// reach below this.
CGFloat weekdayLineBottom()
{
    return std::ceil(5 + UIFont::fontWithName("HelveticaNeue", 12)->lineHeight());
}

CGFloat middle(CGRect rect)
{
    return rect.origin.x + rect.size.width / 2;
}

CGRect dayNumberInk(const UIImage& icon)
{
    return boundsOf(icon, isBlackInk);
}

} // namespace

TEST(CalendarIcon, IsATransparentPageWithTheWeekdayInRedOverTheDay)
{
    PinnedHost host("en_US", "Europe/Berlin");
    const Ref<UIImage> icon = iconFor(2026, 3, 5);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), CGSizeMake(64, 64));
    EXPECT_EQ(icon->scale(), 1);
    for (std::size_t corner : { 0u, 63u }) {
        EXPECT_TRUE(isClear(icon->pixelAt(corner, 0)));
        EXPECT_TRUE(isClear(icon->pixelAt(corner, 63)));
    }

    // "Thursday" fits: centred, clear of both edges, on the top line.
    const CGRect weekday = boundsOf(*icon, isRedInk);
    EXPECT_GT(CGRectGetMinX(weekday), 2);
    EXPECT_LT(CGRectGetMaxX(weekday), 62);
    EXPECT_NEAR(middle(weekday), 32, 1.5);
    EXPECT_GE(CGRectGetMinY(weekday), 5);
    EXPECT_LE(CGRectGetMaxY(weekday), weekdayLineBottom());

    // The day number, below it and centred.
    const CGRect number = dayNumberInk(*icon);
    EXPECT_GE(CGRectGetMinY(number), CGRectGetMaxY(weekday));
    EXPECT_LE(CGRectGetMaxY(number), 52);
    EXPECT_NEAR(middle(number), 32, 1.5);
}

TEST(CalendarIcon, WritesTheFifthWithoutALeadingZero)
{
    PinnedHost host("en_US", "Europe/Berlin");
    // One digit is about half as wide as two: "5" against "15" and "05".
    const CGFloat fifth = CGRectGetWidth(dayNumberInk(*iconFor(2026, 3, 5)));
    const CGFloat fifteenth = CGRectGetWidth(dayNumberInk(*iconFor(2026, 3, 15)));
    EXPECT_GT(fifth, 10);
    EXPECT_LT(fifth * 1.6, fifteenth);
}

TEST(CalendarIcon, CutsALongWeekdayAtTheEdgesOfTheBox)
{
    // "segunda-feira" is wider than 64 points at 12: centred and clipped it runs
    // into both edges; wrapped or shortened it would not.
    PinnedHost host("pt_BR", "Europe/Berlin");
    const Ref<UIImage> icon = iconFor(2026, 3, 2);
    const CGRect weekday = boundsOf(*icon, isRedInk);
    EXPECT_EQ(CGRectGetMinX(weekday), 0);
    EXPECT_EQ(CGRectGetMaxX(weekday), 64);
    EXPECT_LE(CGRectGetMaxY(weekday), weekdayLineBottom());
}
