#include "PinnedHost.h"

#include <Foundation/NSLocale.h>
#include <Foundation/NSTimeZone.h>
#include <platform/Environment.h>
#include <platform/Log.h>

#include <gtest/gtest.h>

#include <algorithm>

using dates_testing::PinnedHost;
using dates_testing::utc;

TEST(CurrentLocale, StaysTheSameObjectUntilTheHostLocaleChanges)
{
    PinnedHost host("en_US", "Europe/Berlin");
    const Ref<NSLocale> english = NSLocale::currentLocale();
    EXPECT_EQ(english->localeIdentifier()->UTF8String(), "en_US");
    EXPECT_EQ(english.get(), NSLocale::currentLocale().get());

    // A change of zone is not a change of locale.
    platform::setCurrentTimeZoneIdentifier("America/New_York");
    EXPECT_EQ(english.get(), NSLocale::currentLocale().get());

    platform::setCurrentLocaleIdentifier("de_DE");
    const Ref<NSLocale> german = NSLocale::currentLocale();
    EXPECT_NE(english.get(), german.get());
    EXPECT_EQ(german->localeIdentifier()->UTF8String(), "de_DE");
    EXPECT_EQ(german.get(), NSLocale::currentLocale().get());
}

TEST(SystemTimeZone, FollowsTheHostAndKeepsItsIdentity)
{
    PinnedHost host("en_US", "Europe/Berlin");
    const Ref<NSTimeZone> berlin = NSTimeZone::systemTimeZone();
    EXPECT_EQ(berlin->name()->UTF8String(), "Europe/Berlin");
    EXPECT_EQ(berlin.get(), NSTimeZone::systemTimeZone().get());
    EXPECT_EQ(berlin.get(), NSTimeZone::defaultTimeZone().get());

    platform::setCurrentTimeZoneIdentifier("America/New_York");
    const Ref<NSTimeZone> newYork = NSTimeZone::systemTimeZone();
    EXPECT_NE(berlin.get(), newYork.get());
    EXPECT_EQ(newYork->name()->UTF8String(), "America/New_York");
}

TEST(SystemTimeZone, UnknownHostZoneFallsBackToUtcAndSaysSoOnce)
{
    // The warning comes once per name for the whole process: each run takes a name not seen yet.
    static int run = 0;
    const std::string zone = "Mars/Olympus_Mons_" + std::to_string(++run);
    PinnedHost host("en_US", zone);
    platform::clearLog();
    EXPECT_EQ(NSTimeZone::systemTimeZone()->name()->UTF8String(), "UTC");
    EXPECT_EQ(NSTimeZone::systemTimeZone()->secondsFromGMTForDate(utc(2026, 7, 1).get()), 0);
    const auto lines = platform::loggedLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Unknown time zone \"" + zone + "\", using UTC"), 1);
}

TEST(TimeZone, UnknownNameGivesNil)
{
    EXPECT_FALSE(NSTimeZone::timeZoneWithName("Mars/Olympus_Mons"));
    EXPECT_FALSE(NSTimeZone::timeZoneWithName(""));
    const Ref<NSTimeZone> tokyo = NSTimeZone::timeZoneWithName("Asia/Tokyo");
    ASSERT_TRUE(tokyo);
    EXPECT_EQ(tokyo->name()->UTF8String(), "Asia/Tokyo");
    EXPECT_TRUE(tokyo->isEqual(NSTimeZone::timeZoneWithName("Asia/Tokyo").get()));
}

TEST(TimeZone, OffsetsSwitchAtBothDaylightSavingChanges)
{
    struct Case {
        const char* zone;
        Ref<NSDate> lastBefore;
        NSInteger before;
        NSInteger after;
    };
    const Case cases[] = {
        { "Europe/Berlin", utc(2026, 3, 29, 0, 59, 59), 3600, 7200 },
        { "Europe/Berlin", utc(2026, 10, 25, 0, 59, 59), 7200, 3600 },
        { "America/New_York", utc(2026, 3, 8, 6, 59, 59), -5 * 3600, -4 * 3600 },
        { "America/New_York", utc(2026, 11, 1, 5, 59, 59), -4 * 3600, -5 * 3600 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lastBefore->description() + " in " + c.zone);
        const Ref<NSTimeZone> zone = NSTimeZone::timeZoneWithName(c.zone);
        EXPECT_EQ(zone->secondsFromGMTForDate(c.lastBefore.get()), c.before);
        EXPECT_EQ(zone->secondsFromGMTForDate(c.lastBefore->dateByAddingTimeInterval(1).get()), c.after);
    }
}
