#include "LocalTime.h"
#include "PinnedHost.h"

#include "listview/DGLEventTable.h"

#include <gtest/gtest.h>

#include <array>

using dates_testing::PinnedHost;
using dates_testing::utc;
using events_testing::LocalDay;
using events_testing::localTime;

namespace {

// ICU's short times put a narrow no-break space before an English AM/PM; the
// fixed weekday patterns have a plain one.
#define NNBSP "\u202F"

std::string prettyDate(const NSDate* date, bool allDay)
{
    return DGLEventTable::createPrettyDateFrom(date, allDay)->UTF8String();
}

// "Now" is Thursday 5 March 2026, 10:00 in Berlin; events start at 14:05, or at
// midnight when they last all day.
struct Row {
    LocalDay day;
    bool allDay;
};
constexpr std::array<Row, 13> rows { {
    { { 2026, 3, 5 }, false }, // today
    { { 2026, 3, 5 }, true }, { { 2026, 3, 6 }, false }, // tomorrow
    { { 2026, 3, 6 }, true }, { { 2026, 3, 4 }, false }, // yesterday
    { { 2026, 3, 8 }, false }, // in three days
    { { 2026, 3, 8 }, true }, { { 2026, 3, 2 }, false }, // three days ago, still running
    { { 2026, 3, 12 }, false }, // in a week
    { { 2026, 3, 13 }, false }, // in eight days
    { { 2026, 3, 15 }, false }, // in ten days
    { { 2026, 3, 15 }, true }, { { 2026, 2, 23 }, false }, // ten days ago
} };

struct LocaleTexts {
    const char* locale;
    std::array<const char*, rows.size()> texts;
};

const LocaleTexts localeTexts[] = {
    { "en_US",
        { "2:05" NNBSP "PM", "12:00" NNBSP "AM", "Tomorrow, 2:05" NNBSP "PM", "Tomorrow", "Yesterday, 2:05" NNBSP "PM",
            "Sun, 2:05 PM", "Sunday", "Mon, 2:05 PM", "Thu, 2:05 PM", "3/13/26, 2:05" NNBSP "PM",
            "3/15/26, 2:05" NNBSP "PM", "3/15/26", "Mon, 2:05 PM" } },
    { "en_GB",
        { "14:05", "00:00", "Tomorrow, 14:05", "Tomorrow", "Yesterday, 14:05", "Sun, 14:05", "Sunday", "Mon, 14:05",
            "Thu, 14:05", "13/03/2026, 14:05", "15/03/2026, 14:05", "15/03/2026", "Mon, 14:05" } },
    { "de_DE",
        { "14:05", "00:00", "Morgen, 14:05", "Morgen", "Gestern, 14:05", "So., 14:05", "Sonntag", "Mo., 14:05",
            "Do., 14:05", "13.03.26, 14:05", "15.03.26, 14:05", "15.03.26", "Mo., 14:05" } },
    { "ja_JP",
        { "14:05", "0:00", "明日 14:05", "明日", "昨日 14:05", "日, 14:05", "日曜日", "月, 14:05", "木, 14:05",
            "2026/03/13 14:05", "2026/03/15 14:05", "2026/03/15", "月, 14:05" } },
};

} // namespace

class RowDateText : public testing::TestWithParam<LocaleTexts> { };

TEST_P(RowDateText, FollowsTheDayOffsetTable)
{
    const LocaleTexts& expected = GetParam();
    PinnedHost host(expected.locale, "Europe/Berlin", localTime("Europe/Berlin", { 2026, 3, 5 }, 10, 0).get());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(testing::Message() << row.day.year << "-" << row.day.month << "-" << row.day.day
                                        << (row.allDay ? " all day" : " 14:05"));
        const Ref<NSDate> start
            = row.allDay ? localTime("Europe/Berlin", row.day) : localTime("Europe/Berlin", row.day, 14, 5);
        EXPECT_EQ(prettyDate(start.get(), row.allDay), expected.texts[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, RowDateText, testing::ValuesIn(localeTexts),
    [](const testing::TestParamInfo<LocaleTexts>& param) { return std::string(param.param.locale); });

// The offset counts fixed 86400-second days between the two midnights, so a
// night that a daylight-saving change shortens or lengthens moves the count.
struct DaylightSavingCase {
    const char* name;
    const char* zone;
    const char* locale;
    LocalDay today;
    LocalDay eventDay;
    const char* text;
};

class DaylightSavingDateText : public testing::TestWithParam<DaylightSavingCase> { };

TEST_P(DaylightSavingDateText, CountsFixedLengthDays)
{
    const DaylightSavingCase& c = GetParam();
    PinnedHost host(c.locale, c.zone, localTime(c.zone, c.today, 10, 0).get());
    EXPECT_EQ(prettyDate(localTime(c.zone, c.eventDay, 14, 5).get(), false), c.text);
}

INSTANTIATE_TEST_SUITE_P(BerlinAndNewYork, DaylightSavingDateText,
    testing::Values(
        // 47 hours from Saturday's midnight to Monday's: one day, relative
        // formatting, which has no English word for two days ahead.
        DaylightSavingCase { "BerlinTwoDaysOverSpringIsOne", "Europe/Berlin", "en_GB", { 2026, 3, 28 }, { 2026, 3, 30 },
            "30/03/2026, 14:05" },
        // 191 hours: seven days, still the weekday.
        DaylightSavingCase { "BerlinEightDaysOverSpringIsSeven", "Europe/Berlin", "en_GB", { 2026, 3, 28 },
            { 2026, 4, 5 }, "Sun, 14:05" },
        // 49 hours: two days.
        DaylightSavingCase { "BerlinTwoDaysOverAutumnStayTwo", "Europe/Berlin", "en_GB", { 2026, 10, 24 },
            { 2026, 10, 26 }, "Mon, 14:05" },
        // 23 hours back: no day at all.
        DaylightSavingCase {
            "BerlinYesterdayOverSpringIsToday", "Europe/Berlin", "en_GB", { 2026, 3, 30 }, { 2026, 3, 29 }, "14:05" },
        DaylightSavingCase { "BerlinGermanNamesTheDayAfterTomorrow", "Europe/Berlin", "de_DE", { 2026, 3, 28 },
            { 2026, 3, 30 }, "Übermorgen, 14:05" },
        DaylightSavingCase { "NewYorkTwoDaysOverSpringIsOne", "America/New_York", "en_US", { 2026, 3, 7 },
            { 2026, 3, 9 }, "3/9/26, 2:05" NNBSP "PM" },
        DaylightSavingCase { "NewYorkEightDaysOverSpringIsSeven", "America/New_York", "en_US", { 2026, 3, 7 },
            { 2026, 3, 15 }, "Sun, 2:05 PM" },
        DaylightSavingCase { "NewYorkTwoDaysOverAutumnStayTwo", "America/New_York", "en_US", { 2026, 10, 31 },
            { 2026, 11, 2 }, "Mon, 2:05 PM" },
        DaylightSavingCase { "NewYorkYesterdayOverSpringIsToday", "America/New_York", "en_US", { 2026, 3, 9 },
            { 2026, 3, 8 }, "2:05" NNBSP "PM" }),
    [](const testing::TestParamInfo<DaylightSavingCase>& param) { return std::string(param.param.name); });

TEST(MidnightOfDay, IsTheLocalStartOfTheDayAcrossChanges)
{
    {
        PinnedHost berlin("en_GB", "Europe/Berlin");
        // The spring change comes at 02:00, after a midnight still in winter time.
        EXPECT_TRUE(DGLEventTable::dateWithZeroTimeFromDate(utc(2026, 3, 29, 12, 5).get())
                        ->isEqual(utc(2026, 3, 28, 23, 0).get()));
        // Half past midnight local time is still the previous day in UTC.
        EXPECT_TRUE(DGLEventTable::dateWithZeroTimeFromDate(utc(2026, 3, 5, 23, 30).get())
                        ->isEqual(utc(2026, 3, 5, 23, 0).get()));
    }
    PinnedHost newYork("en_US", "America/New_York");
    // 23:30 standard time on 1 November; its midnight was still in daylight time.
    EXPECT_TRUE(
        DGLEventTable::dateWithZeroTimeFromDate(utc(2026, 11, 2, 4, 30).get())->isEqual(utc(2026, 11, 1, 4, 0).get()));
}
