#include "LocalTime.h"
#include "PinnedHost.h"

#include "events/NSDateFormatter+RelativeDateFormat.h"

#include <gtest/gtest.h>

using dates_testing::PinnedHost;
using events_testing::localTime;

namespace {

// A header title formatter as the grouping makes it, in the given locale.
Ref<NSDateFormatter> titleFormatter(const char* locale)
{
    auto formatter = makeRef<NSDateFormatter>();
    formatter->setLocale(NSLocale::localeWithLocaleIdentifier(locale).get());
    formatter->setDateFormat(
        NSDateFormatter::dateFormatFromTemplate("EEEEMMMMd"_ns.get(), 0, formatter->locale().get()).get());
    return formatter;
}

std::string relativeText(const NSDateFormatter* formatter, const NSDate* date)
{
    return relativeStringFromDateIfPossible(formatter, date)->UTF8String();
}

} // namespace

TEST(RelativeDateFormat, AnswersInEachReceiversLocale)
{
    const char* zone = "Europe/Berlin";
    PinnedHost host("en_US", zone, localTime(zone, { 2026, 3, 5 }, 12, 0).get());
    const Ref<NSDate> tomorrow = localTime(zone, { 2026, 3, 6 }, 12, 0);
    const Ref<NSDate> monday = localTime(zone, { 2026, 3, 9 }, 12, 0);
    const auto english = titleFormatter("en_US");
    const auto german = titleFormatter("de_DE");
    const auto japanese = titleFormatter("ja_JP");

    EXPECT_EQ(relativeText(english.get(), tomorrow.get()), "Tomorrow");
    EXPECT_EQ(relativeText(german.get(), tomorrow.get()), "Morgen");
    EXPECT_EQ(relativeText(japanese.get(), tomorrow.get()), "明日");
    EXPECT_EQ(relativeText(english.get(), tomorrow.get()), "Tomorrow");
    // German names the day after tomorrow too.
    EXPECT_EQ(relativeText(german.get(), localTime(zone, { 2026, 3, 7 }, 12, 0).get()), "Übermorgen");
    EXPECT_EQ(relativeText(english.get(), localTime(zone, { 2026, 3, 7 }, 12, 0).get()), "Saturday, March 7");

    // A day without a relative name comes in the receiver's own pattern.
    EXPECT_EQ(relativeText(german.get(), monday.get()), "Montag, 9. März");
    EXPECT_EQ(relativeText(english.get(), monday.get()), "Monday, March 9");
}

TEST(RelativeDateFormat, CountsDaysInTheReceiversZone)
{
    // 23:30 in Berlin is 17:30 in New York; 01:00 in Berlin is still the same
    // evening there.
    const char* zone = "Europe/Berlin";
    PinnedHost host("en_GB", zone, localTime(zone, { 2026, 3, 5 }, 23, 30).get());
    const Ref<NSDate> soon = localTime(zone, { 2026, 3, 6 }, 1, 0);
    const auto berlin = titleFormatter("en_GB");
    const auto newYork = titleFormatter("en_GB");
    newYork->setTimeZone(NSTimeZone::timeZoneWithName("America/New_York").get());

    EXPECT_EQ(relativeText(berlin.get(), soon.get()), "Tomorrow");
    EXPECT_EQ(relativeText(newYork.get(), soon.get()), "Today");
    EXPECT_EQ(relativeText(berlin.get(), soon.get()), "Tomorrow");
}
