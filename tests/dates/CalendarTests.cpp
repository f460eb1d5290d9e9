#include "PinnedHost.h"

#include <Foundation/NSCalendar.h>

#include <gtest/gtest.h>

using dates_testing::PinnedHost;
using dates_testing::utc;

namespace {

Ref<NSCalendar> calendarIn(const char* zone)
{
    return makeRef<NSCalendar>(
        NSLocale::localeWithLocaleIdentifier("en_US").get(), NSTimeZone::timeZoneWithName(zone).get());
}

Ref<NSDateComponents> localTime(NSInteger year, NSInteger month, NSInteger day, NSInteger hour, NSInteger minute)
{
    auto components = makeRef<NSDateComponents>();
    components->setYear(year);
    components->setMonth(month);
    components->setDay(day);
    components->setHour(hour);
    components->setMinute(minute);
    return components;
}

Ref<NSDateComponents> amount(NSCalendarUnit unit, NSInteger value)
{
    auto components = makeRef<NSDateComponents>();
    components->setValueForComponent(value, unit);
    return components;
}

void expectSameInstant(const NSDate* actual, const NSDate* expected)
{
    ASSERT_TRUE(actual);
    EXPECT_EQ(actual->description(), expected->description());
}

} // namespace

TEST(CurrentCalendar, IsANewGregorianCalendarInTheHostsZoneAndLocale)
{
    PinnedHost host("de_DE", "America/New_York");
    const Ref<NSCalendar> calendar = NSCalendar::currentCalendar();
    EXPECT_EQ(calendar->calendarIdentifier()->UTF8String(), "gregorian");
    EXPECT_EQ(calendar->timeZone()->name()->UTF8String(), "America/New_York");
    EXPECT_EQ(calendar->locale().get(), NSLocale::currentLocale().get());
    // Callers may change their calendar without changing anyone else's.
    EXPECT_NE(calendar.get(), NSCalendar::currentCalendar().get());
}

TEST(CalendarComponents, AreTheLocalFieldsInTheCalendarsZone)
{
    const Ref<NSDate> instant = utc(2026, 3, 5, 23, 30, 15);
    constexpr NSCalendarUnit units = 124 | NSCalendarUnitWeekday;

    const Ref<NSDateComponents> berlin = calendarIn("Europe/Berlin")->components(units, instant.get());
    EXPECT_EQ(berlin->year(), 2026);
    EXPECT_EQ(berlin->month(), 3);
    EXPECT_EQ(berlin->day(), 6);
    EXPECT_EQ(berlin->hour(), 0);
    EXPECT_EQ(berlin->minute(), 30);
    EXPECT_EQ(berlin->weekday(), 6); // Friday
    EXPECT_EQ(berlin->second(), NSDateComponentUndefined);
    EXPECT_EQ(berlin->era(), NSDateComponentUndefined);

    const Ref<NSDateComponents> newYork
        = calendarIn("America/New_York")->components(units | NSCalendarUnitEra | NSCalendarUnitSecond, instant.get());
    EXPECT_EQ(newYork->era(), 1);
    EXPECT_EQ(newYork->day(), 5);
    EXPECT_EQ(newYork->hour(), 18);
    EXPECT_EQ(newYork->second(), 15);
    EXPECT_EQ(newYork->weekday(), 5); // Thursday

    EXPECT_FALSE(calendarIn("Europe/Berlin")->components(units, nullptr));
}

TEST(DateFromComponents, BuildsTheLocalTimeWithEarliestDefaultsAndCarries)
{
    const Ref<NSCalendar> berlin = calendarIn("Europe/Berlin");
    expectSameInstant(
        berlin->dateFromComponents(localTime(2026, 3, 5, 14, 5).get()).get(), utc(2026, 3, 5, 13, 5).get());

    // The weekday does not move the date; missing fields take their earliest value.
    auto dayOnly = makeRef<NSDateComponents>();
    dayOnly->setYear(2026);
    dayOnly->setMonth(7);
    dayOnly->setWeekday(1);
    expectSameInstant(berlin->dateFromComponents(dayOnly.get()).get(), utc(2026, 6, 30, 22, 0).get());

    // Month 13 is January of the next year, day 0 the last day of the month before.
    expectSameInstant(
        berlin->dateFromComponents(localTime(2025, 13, 0, 12, 0).get()).get(), utc(2025, 12, 31, 11, 0).get());
}

TEST(DateFromComponents, SkippedLocalTimeMovesForwardByTheGap)
{
    // 02:30 does not exist on spring-forward nights: it becomes 03:30 daylight time.
    expectSameInstant(calendarIn("Europe/Berlin")->dateFromComponents(localTime(2026, 3, 29, 2, 30).get()).get(),
        utc(2026, 3, 29, 1, 30).get());
    expectSameInstant(calendarIn("America/New_York")->dateFromComponents(localTime(2026, 3, 8, 2, 30).get()).get(),
        utc(2026, 3, 8, 7, 30).get());
}

TEST(DateFromComponents, RepeatedLocalTimeIsTheFirstOccurrence)
{
    // Fall-back nights repeat an hour: the daylight-time one comes first.
    expectSameInstant(calendarIn("Europe/Berlin")->dateFromComponents(localTime(2026, 10, 25, 2, 30).get()).get(),
        utc(2026, 10, 25, 0, 30).get());
    expectSameInstant(calendarIn("America/New_York")->dateFromComponents(localTime(2026, 11, 1, 1, 30).get()).get(),
        utc(2026, 11, 1, 5, 30).get());
}

TEST(DateByAddingComponents, DaysKeepTheWallClockAcrossDaylightSavingChanges)
{
    struct Case {
        const char* zone;
        Ref<NSDate> start;
        NSInteger days;
        Ref<NSDate> expected;
    };
    const Case cases[] = {
        // 21:30 the evening before each change, one and two days on.
        { "Europe/Berlin", utc(2026, 3, 28, 20, 30), 1, utc(2026, 3, 29, 19, 30) },
        { "Europe/Berlin", utc(2026, 3, 28, 20, 30), 2, utc(2026, 3, 30, 19, 30) },
        { "Europe/Berlin", utc(2026, 10, 24, 19, 30), 1, utc(2026, 10, 25, 20, 30) },
        { "America/New_York", utc(2026, 3, 8, 2, 30), 2, utc(2026, 3, 10, 1, 30) },
        { "America/New_York", utc(2026, 11, 1, 1, 30), 1, utc(2026, 11, 2, 2, 30) },
        // Backwards over the spring change.
        { "Europe/Berlin", utc(2026, 3, 30, 19, 30), -2, utc(2026, 3, 28, 20, 30) },
        // 02:30 the day before the spring change lands in the gap: 03:30.
        { "Europe/Berlin", utc(2026, 3, 28, 1, 30), 1, utc(2026, 3, 29, 1, 30) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start->description() + " in " + c.zone);
        expectSameInstant(
            calendarIn(c.zone)->dateByAddingComponents(amount(NSCalendarUnitDay, c.days).get(), c.start.get()).get(),
            c.expected.get());
    }
}

TEST(DateByAddingComponents, HoursAreElapsedTimeAndMonthsClampTheDay)
{
    const Ref<NSCalendar> berlin = calendarIn("Europe/Berlin");
    // 00:30 on the spring-forward night plus three hours is 04:30 daylight time.
    expectSameInstant(
        berlin->dateByAddingComponents(amount(NSCalendarUnitHour, 3).get(), utc(2026, 3, 28, 23, 30).get()).get(),
        utc(2026, 3, 29, 2, 30).get());
    // 31 January plus a month is the last day of February.
    expectSameInstant(
        berlin->dateByAddingComponents(amount(NSCalendarUnitMonth, 1).get(), utc(2026, 1, 31, 11, 0).get()).get(),
        utc(2026, 2, 28, 11, 0).get());
    // Wrapping keeps the year: November plus two months is January of the same year.
    expectSameInstant(berlin
                          ->dateByAddingComponents(amount(NSCalendarUnitMonth, 2).get(), utc(2016, 11, 10, 11, 0).get(),
                              NSCalendarWrapComponents)
                          .get(),
        utc(2016, 1, 10, 11, 0).get());
}

TEST(SameDay, SplitsAtLocalMidnight)
{
    const Ref<NSCalendar> berlin = calendarIn("Europe/Berlin");
    const Ref<NSDate> lastSecond = utc(2026, 3, 5, 22, 59, 59); // 23:59:59 in Berlin
    const Ref<NSDate> midnight = utc(2026, 3, 5, 23, 0); // 00:00 the next day
    const Ref<NSDate> firstSecond = utc(2026, 3, 4, 23, 0); // 00:00 that day
    EXPECT_FALSE(berlin->isDateInSameDayAsDate(lastSecond.get(), midnight.get()));
    EXPECT_TRUE(berlin->isDateInSameDayAsDate(firstSecond.get(), lastSecond.get()));
    // The same instants are one afternoon in New York.
    EXPECT_TRUE(calendarIn("America/New_York")->isDateInSameDayAsDate(lastSecond.get(), midnight.get()));
}

TEST(StartOfDay, IsTheFirstInstantOfTheLocalDay)
{
    const Ref<NSCalendar> berlin = calendarIn("Europe/Berlin");
    expectSameInstant(berlin->startOfDayForDate(utc(2026, 3, 29, 21, 0).get()).get(), utc(2026, 3, 28, 23, 0).get());
    expectSameInstant(berlin->startOfDayForDate(utc(2026, 3, 29, 22, 0).get()).get(), utc(2026, 3, 29, 22, 0).get());
    // Beirut skips midnight on its spring-forward night: the day starts at 01:00.
    expectSameInstant(calendarIn("Asia/Beirut")->startOfDayForDate(utc(2026, 3, 29, 9, 0).get()).get(),
        utc(2026, 3, 28, 22, 0).get());
}
