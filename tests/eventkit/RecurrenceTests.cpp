#include "EventKitFixture.h"

#include "EventKit/CalendarTime.h"

#include <platform/Environment.h>

#include <map>

using namespace eventkit_tests;

namespace {

constexpr const char* work = "13290FF1-3C0E-5D38-8FB5-134E6A049DD4";

class Recurrence : public EventKitTest {
protected:
    void write(const std::vector<std::string>& components, const std::string& file = "item.ics") const
    {
        writeCalendarFile("work", file, calendarText(components));
    }

    static std::string identifier(const Ref<EKEvent>& e)
    {
        return e->persistentEvent()->eventIdentifier()->UTF8String();
    }
    static std::string title(const Ref<EKEvent>& e) { return e->title() ? e->title()->UTF8String() : "(nil)"; }
    static double end(const Ref<EKEvent>& e) { return e->endDate()->timeIntervalSince1970(); }
};

TEST_F(Recurrence, WeeklySeriesWithOneMovedAndOneCancelledOccurrence)
{
    write({ event({ "UID:weekly@test", "SUMMARY:Team", "DTSTART;TZID=Europe/Berlin:20240305T090000",
                "DTEND;TZID=Europe/Berlin:20240305T100000", "RRULE:FREQ=WEEKLY;COUNT=6",
                "EXDATE;TZID=Europe/Berlin:20240319T090000" }),
        event({ "UID:weekly@test", "RECURRENCE-ID;TZID=Europe/Berlin:20240312T090000", "SUMMARY:Moved",
            "DTSTART;TZID=Europe/Berlin:20240313T140000", "DTEND;TZID=Europe/Berlin:20240313T150000" }),
        event({ "UID:weekly@test", "RECURRENCE-ID;TZID=Europe/Berlin:20240326T090000", "STATUS:CANCELLED",
            "DTSTART;TZID=Europe/Berlin:20240326T090000" }) });

    const auto found = events(utc("2024-03-01 00:00"), utc("2024-05-01 00:00"));
    // Berlin moves to summer time on 31 March: 09:00 is 08:00 UTC before, 07:00 after.
    EXPECT_EQ(starts(found),
        (std::vector<double> {
            utc("2024-03-05 08:00"), utc("2024-03-13 13:00"), utc("2024-04-02 07:00"), utc("2024-04-09 07:00") }));
    ASSERT_EQ(found.size(), 4u);
    const std::string series = std::string(work) + ":weekly@test";
    EXPECT_EQ(identifier(found[0]), series);
    EXPECT_EQ(identifier(found[1]), series + "/RID=20240312T080000Z");
    EXPECT_EQ(identifier(found[2]), series);
    EXPECT_EQ(found[1]->eventIdentifier()->UTF8String(), identifier(found[1]));
    EXPECT_EQ(title(found[0]), "Team");
    EXPECT_EQ(title(found[1]), "Moved");
    EXPECT_TRUE(found[1]->isDetached());
    EXPECT_FALSE(found[0]->isDetached());
    EXPECT_EQ(found[1]->occurrenceDate()->timeIntervalSince1970(), utc("2024-03-12 08:00"));
    EXPECT_EQ(end(found[1]), utc("2024-03-13 14:00"));
    EXPECT_EQ(end(found[3]), utc("2024-04-09 08:00"));
}

TEST_F(Recurrence, AnOverrideWithoutItsSeriesStandsAlone)
{
    write({ event({ "UID:invite@test", "RECURRENCE-ID:20240312T080000Z", "SUMMARY:Only this one",
        "DTSTART:20240312T120000Z", "DTEND:20240312T130000Z" }) });
    const auto found = events(utc("2024-03-12 00:00"), utc("2024-03-13 00:00"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(identifier(found[0]), std::string(work) + ":invite@test/RID=20240312T080000Z");
    EXPECT_EQ(found[0]->startDate()->timeIntervalSince1970(), utc("2024-03-12 12:00"));
}

TEST_F(Recurrence, RDatesAddAndExDatesRemoveOccurrences)
{
    write({ event({ "UID:daily", "DTSTART:20240301T100000Z", "DURATION:PT30M", "RRULE:FREQ=DAILY;COUNT=3",
                "RDATE:20240310T100000Z", "RDATE;VALUE=PERIOD:20240312T150000Z/PT2H", "EXDATE:20240302T100000Z" }),
        // A date in EXDATE takes out that day of a timed series; a date UNTIL includes its day.
        event({ "UID:evenings", "DTSTART;TZID=Europe/Berlin:20240304T180000", "RRULE:FREQ=DAILY;UNTIL=20240307",
            "EXDATE;VALUE=DATE:20240305" }) });

    const auto found = events(utc("2024-03-01 00:00"), utc("2024-03-20 00:00"));
    EXPECT_EQ(starts(found),
        (std::vector<double> { utc("2024-03-01 10:00"), utc("2024-03-03 10:00"), utc("2024-03-04 17:00"),
            utc("2024-03-06 17:00"), utc("2024-03-07 17:00"), utc("2024-03-10 10:00"), utc("2024-03-12 15:00") }));
    ASSERT_EQ(found.size(), 7u);
    EXPECT_EQ(end(found[0]), utc("2024-03-01 10:30"));
    EXPECT_EQ(end(found[6]), utc("2024-03-12 17:00"));
}

TEST_F(Recurrence, WindowAcrossTheSpringChange)
{
    write({ event({ "UID:zoned", "DTSTART;TZID=Europe/Berlin:20240329T090000", "RRULE:FREQ=DAILY" }),
        event({ "UID:floating", "DTSTART:20240329T214500", "RRULE:FREQ=DAILY" }) });
    // 21:30 on Friday 29 March to 21:30 two days later, in Berlin (UTC+1, then UTC+2).
    const auto found = events(utc("2024-03-29 20:30"), utc("2024-03-31 19:30"));
    EXPECT_EQ(starts(found),
        (std::vector<double> {
            utc("2024-03-29 20:45"), utc("2024-03-30 08:00"), utc("2024-03-30 20:45"), utc("2024-03-31 07:00") }));
}

// A wall time the clock skips is read with the offset before the jump; one it
// shows twice is the first of the two.
TEST_F(Recurrence, WallTimesTheClockSkipsOrRepeats)
{
    write({ event({ "UID:skipped", "DTSTART;TZID=Europe/Berlin:20240331T023000", "DURATION:PT1H" }),
        event({ "UID:repeated", "DTSTART;TZID=Europe/Berlin:20241027T023000", "DURATION:PT1H" }),
        event({ "UID:nightly", "DTSTART:20240330T023000", "RRULE:FREQ=DAILY;COUNT=3" }),
        event({ "UID:day-long", "DTSTART;TZID=Europe/Berlin:20241026T023000", "DURATION:P1D" }) });
    EXPECT_EQ(starts(events(utc("2024-03-30 00:00"), utc("2024-04-02 00:00"))),
        (std::vector<double> {
            utc("2024-03-30 01:30"), utc("2024-03-31 01:30"), utc("2024-03-31 01:30"), utc("2024-04-01 00:30") }));
    const auto autumn = events(utc("2024-10-26 12:00"), utc("2024-10-27 12:00"));
    ASSERT_EQ(autumn.size(), 2u);
    EXPECT_EQ(starts(autumn), (std::vector<double> { utc("2024-10-26 00:30"), utc("2024-10-27 00:30") }));
    // A whole day later on the wall clock lands on the first 02:30 too.
    EXPECT_EQ(end(autumn[0]), utc("2024-10-27 00:30"));
}

// Every occurrence of a weekly series of 2000-year-long days ends past 2037,
// where libical works a zone's changes out again on each lookup: 40 s for one
// query before the lookups stopped at its last covered second.
TEST_F(Recurrence, ZonesAreLookedUpNoLaterThanLibicalCovers)
{
    using std::chrono::seconds;
    EXPECT_EQ(eventkit::zoneLookupInstant(seconds(static_cast<long>(utc("2037-06-01 00:00")))).count(),
        utc("2037-06-01 00:00"));
    EXPECT_EQ(eventkit::zoneLookupInstant(seconds(static_cast<long>(utc("2250-06-01 00:00")))).count(),
        utc("2037-12-31 23:59:59"));

    write({ event({ "UID:long", "DTSTART;VALUE=DATE:20240107", "DTEND;VALUE=DATE:40480216", "RRULE:FREQ=WEEKLY" }) });
    const auto found = events(utc("2024-03-05 00:00"), utc("2024-03-06 00:00"));
    ASSERT_EQ(found.size(), 9u);
    for (const auto& e : found)
        EXPECT_GT(end(e), utc("4048-02-15 00:00"));
}

TEST_F(Recurrence, FloatingTimesAndDatesFollowTheDeviceZone)
{
    // One plain item a file, as a vdir keeps them: these are read only when a query reaches their days.
    write({ event({ "UID:floating", "SUMMARY:Call", "DTSTART:20240305T233000", "DTEND:20240306T003000" }) },
        "floating.ics");
    write({ event({ "UID:day", "SUMMARY:Holiday", "DTSTART;VALUE=DATE:20240306" }) }, "day.ics");
    const std::vector<std::pair<const char*, std::vector<double>>> zones = {
        { "Europe/Berlin", { utc("2024-03-05 22:30"), utc("2024-03-05 23:00") } },
        { "America/New_York", { utc("2024-03-06 04:30"), utc("2024-03-06 05:00") } },
        // Offsets near the widest either way.
        { "Pacific/Kiritimati", { utc("2024-03-05 09:30"), utc("2024-03-05 10:00") } },
        { "Pacific/Pago_Pago", { utc("2024-03-06 10:30"), utc("2024-03-06 11:00") } },
    };
    for (const auto& [zone, expected] : zones) {
        platform::setCurrentTimeZoneIdentifier(zone);
        EXPECT_EQ(starts(events(utc("2024-03-05 09:00"), utc("2024-03-06 12:30"))), expected) << zone;
    }
}

TEST_F(Recurrence, AllDayAndMultiDayItems)
{
    write({ event({ "UID:one-day", "DTSTART;VALUE=DATE:20240305" }),
        event({ "UID:three-days", "DTSTART;VALUE=DATE:20240305", "DTEND;VALUE=DATE:20240308" }),
        event({ "UID:trip", "DTSTART:20240304T180000Z", "DTEND:20240306T100000Z" }),
        event({ "UID:weekly-day", "DTSTART;VALUE=DATE:20240304", "RRULE:FREQ=WEEKLY;COUNT=3" }),
        event({ "UID:weekend", "DTSTART;VALUE=DATE:20240330", "DTEND;VALUE=DATE:20240401" }) });

    auto found = events(utc("2024-03-04 23:00"), utc("2024-03-05 00:00"));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(identifier(found[0]), std::string(work) + ":trip");
    EXPECT_FALSE(found[0]->isAllDay());
    EXPECT_TRUE(found[1]->isAllDay());
    EXPECT_EQ(found[1]->startDate()->timeIntervalSince1970(), utc("2024-03-04 23:00"));
    // As on the phone, an all-day event ends one second before the next midnight.
    EXPECT_EQ(end(found[1]), utc("2024-03-05 22:59:59"));
    EXPECT_EQ(end(found[2]), utc("2024-03-07 22:59:59"));

    // Still running on their last day, gone at midnight after it.
    EXPECT_EQ(events(utc("2024-03-07 10:00"), utc("2024-03-07 11:00")).size(), 1u);
    EXPECT_TRUE(events(utc("2024-03-07 23:00"), utc("2024-03-08 05:00")).empty());

    found = events(utc("2024-03-10 00:00"), utc("2024-03-25 00:00"));
    EXPECT_EQ(starts(found), (std::vector<double> { utc("2024-03-10 23:00"), utc("2024-03-17 23:00") }));

    // The weekend spans the spring change: its second day has 23 hours.
    found = events(utc("2024-03-30 12:00"), utc("2024-03-30 13:00"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(end(found[0]), utc("2024-03-31 21:59:59"));
}

TEST_F(Recurrence, EventsStillRunningAtTheWindowStartCount)
{
    write({ event({ "UID:meeting", "DTSTART:20240305T090000Z", "DTEND:20240305T100000Z" }),
        event({ "UID:reminder", "DTSTART:20240305T120000Z" }) });
    EXPECT_EQ(events(utc("2024-03-05 09:30"), utc("2024-03-05 11:00")).size(), 1u);
    EXPECT_TRUE(events(utc("2024-03-05 10:00"), utc("2024-03-05 11:00")).empty());
    EXPECT_TRUE(events(utc("2024-03-05 08:00"), utc("2024-03-05 09:00")).empty());
    // An item without length counts at the window's start, not at its end.
    EXPECT_EQ(events(utc("2024-03-05 12:00"), utc("2024-03-05 13:00")).size(), 1u);
    EXPECT_TRUE(events(utc("2024-03-05 11:00"), utc("2024-03-05 12:00")).empty());
}

TEST_F(Recurrence, HostileRulesAreBoundedAndLogged)
{
    write({ event({ "UID:every-second", "DTSTART:20240101T000000Z", "RRULE:FREQ=SECONDLY" }) }, "a.ics");
    write({ event({ "UID:december-seconds", "DTSTART:20240101T000000Z", "RRULE:FREQ=SECONDLY;BYMONTH=12" }) }, "b.ics");
    write(
        { event({ "UID:never", "DTSTART:20240301T000000Z", "RRULE:FREQ=MINUTELY;BYMONTH=2;BYMONTHDAY=30" }) }, "c.ics");
    write({ event({ "UID:counted", "DTSTART:20240101T000000Z", "RRULE:FREQ=SECONDLY;COUNT=100000000" }) }, "d.ics");
    write({ event({ "UID:old", "DTSTART:19900101T080000Z", "RRULE:FREQ=DAILY;COUNT=3" }) }, "e.ics");

    const auto found = events(utc("2024-01-01 00:00"), utc("2025-01-01 00:00"));
    std::map<std::string, int> perSeries;
    for (const auto& e : found)
        ++perSeries[identifier(e)];
    for (const auto& [series, count] : perSeries)
        EXPECT_LE(count, EKEventStore::maxOccurrencesExamined) << series;
    EXPECT_GT(perSeries[std::string(work) + ":every-second"], 1000);
    EXPECT_EQ(perSeries[std::string(work) + ":never"], 1);
    EXPECT_EQ(perSeries.count(std::string(work) + ":old"), 0u);

    const auto bounded = logLinesWith("stopped at the bound of 10000 occurrences examined");
    for (const char* uid : { "every-second", "december-seconds", "never", "counted" })
        EXPECT_EQ(std::count_if(bounded.begin(), bounded.end(),
                      [&](const std::string& line) { return line.find(uid) != std::string::npos; }),
            1)
            << uid;
    EXPECT_EQ(bounded.size(), 4u);
}

} // namespace
