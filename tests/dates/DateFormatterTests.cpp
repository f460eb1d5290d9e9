#include "PinnedHost.h"

#include <Foundation/NSDateFormatter.h>
#include <platform/Environment.h>

#include <gtest/gtest.h>

using dates_testing::PinnedHost;
using dates_testing::utc;

namespace {

// ICU puts a narrow no-break space between an English time and its AM/PM.
#define NNBSP "\u202F"

// Thursday 5 March 2026, 14:05 in Berlin.
Ref<NSDate> thursdayAfternoon()
{
    return utc(2026, 3, 5, 13, 5);
}

Ref<NSDateFormatter> formatter(
    const char* locale, NSDateFormatterStyle dateStyle, NSDateFormatterStyle timeStyle, bool relative = false)
{
    auto made = makeRef<NSDateFormatter>();
    made->setLocale(NSLocale::localeWithLocaleIdentifier(locale).get());
    made->setDateStyle(dateStyle);
    made->setTimeStyle(timeStyle);
    made->setDoesRelativeDateFormatting(relative);
    return made;
}

std::string text(const NSDateFormatter* formatter, const NSDate* date)
{
    return formatter->stringFromDate(date)->UTF8String();
}

std::string patternFor(const char* dateTemplate, const char* locale)
{
    return NSDateFormatter::dateFormatFromTemplate(
        NSString::string(dateTemplate).get(), 0, NSLocale::localeWithLocaleIdentifier(locale).get())
        ->UTF8String();
}

} // namespace

TEST(DateFormatter, StartsWithTheCurrentLocaleCalendarAndZone)
{
    PinnedHost host("de_DE", "Europe/Berlin");
    const auto made = makeRef<NSDateFormatter>();
    EXPECT_EQ(made->locale().get(), NSLocale::currentLocale().get());
    EXPECT_EQ(made->timeZone().get(), NSTimeZone::systemTimeZone().get());
    EXPECT_EQ(made->calendar()->timeZone()->name()->UTF8String(), "Europe/Berlin");
    EXPECT_EQ(made->dateStyle(), NSDateFormatterNoStyle);
    EXPECT_EQ(text(made.get(), thursdayAfternoon().get()), "");
    EXPECT_FALSE(made->stringFromDate(nullptr));

    // A formatter made after the host's locale changes speaks the new language.
    made->setDateFormat("EEEE"_ns.get());
    platform::setCurrentLocaleIdentifier("en_GB");
    auto later = makeRef<NSDateFormatter>();
    later->setDateFormat("EEEE"_ns.get());
    EXPECT_EQ(text(made.get(), thursdayAfternoon().get()), "Donnerstag");
    EXPECT_EQ(text(later.get(), thursdayAfternoon().get()), "Thursday");
}

TEST(DateFormatterStyles, ShortDateAndTimeFollowTheLocale)
{
    PinnedHost host("en_US", "Europe/Berlin");
    struct Case {
        const char* locale;
        const char* date;
        const char* time;
        const char* both;
    };
    const Case cases[] = {
        { "en_US", "3/5/26", "2:05" NNBSP "PM", "3/5/26, 2:05" NNBSP "PM" },
        { "en_GB", "05/03/2026", "14:05", "05/03/2026, 14:05" },
        { "de_DE", "05.03.26", "14:05", "05.03.26, 14:05" },
        { "ja_JP", "2026/03/05", "14:05", "2026/03/05 14:05" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        EXPECT_EQ(text(formatter(c.locale, NSDateFormatterShortStyle, NSDateFormatterNoStyle).get(),
                      thursdayAfternoon().get()),
            c.date);
        EXPECT_EQ(text(formatter(c.locale, NSDateFormatterNoStyle, NSDateFormatterShortStyle).get(),
                      thursdayAfternoon().get()),
            c.time);
        EXPECT_EQ(text(formatter(c.locale, NSDateFormatterShortStyle, NSDateFormatterShortStyle).get(),
                      thursdayAfternoon().get()),
            c.both);
    }
}

TEST(DateFormatterStyles, TimesFollowTheFormattersZone)
{
    PinnedHost host("en_GB", "Europe/Berlin");
    const auto made = formatter("en_GB", NSDateFormatterNoStyle, NSDateFormatterShortStyle);
    EXPECT_EQ(text(made.get(), thursdayAfternoon().get()), "14:05");
    made->setTimeZone(NSTimeZone::timeZoneWithName("America/New_York").get());
    EXPECT_EQ(text(made.get(), thursdayAfternoon().get()), "08:05");
    made->setTimeZone(nullptr);
    EXPECT_EQ(text(made.get(), thursdayAfternoon().get()), "14:05");
    // Across the spring change the same clock reads an hour later.
    EXPECT_EQ(text(made.get(), utc(2026, 3, 29, 13, 5).get()), "15:05");
}

TEST(DateFormatterPattern, EveryDateGetsItsOwnFieldsThroughTheSameFormatter)
{
    PinnedHost host("en_GB", "Europe/Berlin");
    const auto made = makeRef<NSDateFormatter>();
    made->setDateFormat("d MMM y HH:mm zzzz"_ns.get());
    // Winter, summer, then a winter date across a new year: nothing of one date's
    // fields or zone carries over to the next.
    EXPECT_EQ(text(made.get(), utc(2026, 1, 15, 12).get()), "15 Jan 2026 13:00 Central European Standard Time");
    EXPECT_EQ(text(made.get(), utc(2026, 7, 15, 12).get()), "15 Jul 2026 14:00 Central European Summer Time");
    EXPECT_EQ(text(made.get(), utc(2025, 12, 31, 23, 30).get()), "1 Jan 2026 00:30 Central European Standard Time");

    // Week numbers count the locale's own weeks: Sunday 4 January 2026 starts
    // week 2 in the US and ends ISO week 1 in Germany.
    made->setDateFormat("w"_ns.get());
    made->setLocale(NSLocale::localeWithLocaleIdentifier("en_US").get());
    EXPECT_EQ(text(made.get(), utc(2026, 1, 4, 12).get()), "2");
    made->setLocale(NSLocale::localeWithLocaleIdentifier("de_DE").get());
    EXPECT_EQ(text(made.get(), utc(2026, 1, 4, 12).get()), "1");
}

TEST(DateFormatterPattern, FixedPatternOutlivesLocaleChangesUntilAStyleIsSet)
{
    PinnedHost host("en_US", "Europe/Berlin");
    const auto made = makeRef<NSDateFormatter>();
    made->setDateFormat("EEEE"_ns.get());
    EXPECT_EQ(text(made.get(), thursdayAfternoon().get()), "Thursday");
    made->setLocale(NSLocale::localeWithLocaleIdentifier("ja_JP").get());
    EXPECT_EQ(text(made.get(), thursdayAfternoon().get()), "木曜日");
    EXPECT_EQ(made->dateFormat()->UTF8String(), "EEEE");
    made->setDateFormat("d"_ns.get());
    EXPECT_EQ(text(made.get(), thursdayAfternoon().get()), "5");

    made->setDateStyle(NSDateFormatterShortStyle);
    EXPECT_EQ(made->dateFormat()->UTF8String(), "y/MM/dd");
    EXPECT_EQ(text(made.get(), thursdayAfternoon().get()), "2026/03/05");
}

TEST(DateFormatterTemplate, GivesEachLocalesPattern)
{
    EXPECT_EQ(patternFor("EEEEMMMMd", "en_US"), "EEEE, MMMM d");
    EXPECT_EQ(patternFor("EEEEMMMMd", "en_GB"), "EEEE, d MMMM");
    EXPECT_EQ(patternFor("EEEEMMMMd", "de_DE"), "EEEE, d. MMMM");
    EXPECT_EQ(patternFor("EEEEMMMMd", "ja_JP"), "M月d日EEEE");
    EXPECT_EQ(patternFor("j", "en_US"), "h" NNBSP "a");
    EXPECT_EQ(patternFor("j", "en_GB"), "HH");
    EXPECT_EQ(patternFor("j", "de_DE"), "HH 'Uhr'");
    EXPECT_FALSE(NSDateFormatter::dateFormatFromTemplate(nullptr, 0, nullptr));
}

TEST(RelativeDateFormatting, NamesYesterdayTodayAndTomorrowInEachLocale)
{
    PinnedHost host("en_US", "Europe/Berlin", thursdayAfternoon().get());
    struct Case {
        const char* locale;
        const char* yesterday;
        const char* today;
        const char* tomorrow;
        const char* tomorrowWithTime;
    };
    const Case cases[] = {
        { "en_US", "Yesterday", "Today", "Tomorrow", "Tomorrow, 9:30" NNBSP "AM" },
        { "en_GB", "Yesterday", "Today", "Tomorrow", "Tomorrow, 09:30" },
        { "de_DE", "Gestern", "Heute", "Morgen", "Morgen, 09:30" },
        { "ja_JP", "昨日", "今日", "明日", "明日 9:30" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        const auto dateOnly = formatter(c.locale, NSDateFormatterShortStyle, NSDateFormatterNoStyle, true);
        EXPECT_EQ(text(dateOnly.get(), utc(2026, 3, 4, 22, 0).get()), c.yesterday);
        EXPECT_EQ(text(dateOnly.get(), utc(2026, 3, 4, 23, 0).get()), c.today);
        EXPECT_EQ(text(dateOnly.get(), utc(2026, 3, 5, 22, 59).get()), c.today);
        EXPECT_EQ(text(dateOnly.get(), utc(2026, 3, 5, 23, 0).get()), c.tomorrow);
        const auto withTime = formatter(c.locale, NSDateFormatterShortStyle, NSDateFormatterShortStyle, true);
        EXPECT_EQ(text(withTime.get(), utc(2026, 3, 6, 8, 30).get()), c.tomorrowWithTime);
    }
}

TEST(RelativeDateFormatting, DaysWithoutAWordShowTheDate)
{
    PinnedHost host("en_US", "Europe/Berlin", thursdayAfternoon().get());
    const Ref<NSDate> inTwoDays = utc(2026, 3, 7, 11, 0);
    EXPECT_EQ(
        text(formatter("en_US", NSDateFormatterShortStyle, NSDateFormatterShortStyle, true).get(), inTwoDays.get()),
        "3/7/26, 12:00" NNBSP "PM");
    // German has a word for the day after tomorrow, but none for the day after that.
    EXPECT_EQ(text(formatter("de_DE", NSDateFormatterShortStyle, NSDateFormatterNoStyle, true).get(), inTwoDays.get()),
        "Übermorgen");
    EXPECT_EQ(text(formatter("de_DE", NSDateFormatterShortStyle, NSDateFormatterNoStyle, true).get(),
                  utc(2026, 3, 8, 11, 0).get()),
        "08.03.26");
    // Without a date style there is no day to name.
    EXPECT_EQ(text(formatter("en_GB", NSDateFormatterNoStyle, NSDateFormatterShortStyle, true).get(),
                  thursdayAfternoon().get()),
        "14:05");
}

TEST(RelativeDateFormatting, CountsLocalDaysFromTheHostsNowInTheFormattersZone)
{
    // Five to midnight in Berlin on the night before the spring change.
    PinnedHost host("en_GB", "Europe/Berlin", utc(2026, 3, 28, 22, 55).get());
    const auto made = formatter("en_GB", NSDateFormatterShortStyle, NSDateFormatterNoStyle, true);
    EXPECT_EQ(text(made.get(), utc(2026, 3, 28, 23, 5).get()), "Tomorrow");
    // The 23-hour day: 23:30 daylight time is still tomorrow, 00:30 after it is not.
    EXPECT_EQ(text(made.get(), utc(2026, 3, 29, 21, 30).get()), "Tomorrow");
    EXPECT_EQ(text(made.get(), utc(2026, 3, 29, 22, 30).get()), "30/03/2026");

    // In New York both instants are on the afternoon of the 28th.
    made->setTimeZone(NSTimeZone::timeZoneWithName("America/New_York").get());
    EXPECT_EQ(text(made.get(), utc(2026, 3, 28, 23, 5).get()), "Today");
}
