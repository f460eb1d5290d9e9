// Calendars as servers, exports and sync tools write them: revisions of one
// event, ranges of a series changed at once, and rules that need salvaging.
#include "EventKitFixture.h"

#include <platform/Environment.h>

#include <utility>

using namespace eventkit_tests;

namespace {

using Listed = std::vector<std::pair<std::string, double>>;

class ServerCalendars : public EventKitTest {
protected:
    // Titles and starts of what a new store answers for [start, end).
    Listed listed(const std::string& start, const std::string& end) const
    {
        Listed found;
        for (const auto& e : events(utc(start), utc(end)))
            found.emplace_back(
                e->title() ? e->title()->UTF8String() : "(nil)", e->startDate()->timeIntervalSince1970());
        return found;
    }
};

TEST_F(ServerCalendars, OnlyTheLatestRevisionOfEachInstanceShows)
{
    writeCalendarFile("work", "export.ics",
        calendarText({ event({ "UID:standup", "SEQUENCE:1", "SUMMARY:Standup", "DTSTART:20240304T080000Z",
                           "DURATION:PT15M", "RRULE:FREQ=DAILY;COUNT=4" }),
            // The edit: renamed, and Wednesday taken out.
            event({ "UID:standup", "SEQUENCE:2", "SUMMARY:Daily", "DTSTART:20240304T080000Z", "DURATION:PT15M",
                "RRULE:FREQ=DAILY;COUNT=4", "EXDATE:20240306T080000Z" }),
            // The same override twice, and two revisions of another told apart by DTSTAMP alone.
            event({ "UID:standup", "RECURRENCE-ID:20240305T080000Z", "SUMMARY:Late", "DTSTART:20240305T090000Z" }),
            event({ "UID:standup", "RECURRENCE-ID:20240305T080000Z", "SUMMARY:Late", "DTSTART:20240305T090000Z" }),
            event({ "UID:standup", "RECURRENCE-ID:20240307T080000Z", "DTSTAMP:20240301T100000Z", "SUMMARY:Newer",
                "DTSTART:20240307T100000Z" }),
            event({ "UID:standup", "RECURRENCE-ID:20240307T080000Z", "DTSTAMP:20240201T100000Z", "SUMMARY:Older",
                "DTSTART:20240307T090000Z" }) }));
    // The same invitation in another calendar keeps its own copy.
    writeCalendarFile("home", "invite.ics",
        calendarText({ event({ "UID:standup", "SUMMARY:Invited", "DTSTART:20240305T120000Z" }) }));

    EXPECT_EQ(listed("2024-03-04 00:00", "2024-03-08 00:00"),
        (Listed { { "Daily", utc("2024-03-04 08:00") }, { "Late", utc("2024-03-05 09:00") },
            { "Invited", utc("2024-03-05 12:00") }, { "Newer", utc("2024-03-07 10:00") } }));
}

TEST_F(ServerCalendars, TwoFilesOfAVdirWithOneUidShowTheLatest)
{
    // After an interrupted sync: the old file and the new one side by side.
    writeCalendarFile("work", "a.ics",
        calendarText({ event({ "UID:dentist", "SEQUENCE:0", "SUMMARY:Dentist", "DTSTART:20240305T080000Z" }) }));
    writeCalendarFile("work", "b.ics",
        calendarText(
            { event({ "UID:dentist", "SEQUENCE:1", "SUMMARY:Dentist (moved)", "DTSTART:20240306T080000Z" }) }));
    writeCalendarFile("work", "c.ics",
        calendarText({ event(
            { "UID:review", "LAST-MODIFIED:20240301T000000Z", "SUMMARY:Review (new)", "DTSTART:20240305T140000Z" }) }));
    writeCalendarFile("work", "d.ics",
        calendarText({ event(
            { "UID:review", "DTSTAMP:20240201T000000Z", "SUMMARY:Review (old)", "DTSTART:20240305T130000Z" }) }));
    EXPECT_EQ(listed("2024-03-04 00:00", "2024-03-08 00:00"),
        (Listed { { "Review (new)", utc("2024-03-05 14:00") }, { "Dentist (moved)", utc("2024-03-06 08:00") } }));

    // Once the old file goes, nothing changes; once the new one goes, the old one shows.
    removeCalendarFile("work", "a.ics");
    removeCalendarFile("work", "c.ics");
    EXPECT_EQ(listed("2024-03-04 00:00", "2024-03-08 00:00"),
        (Listed { { "Review (old)", utc("2024-03-05 13:00") }, { "Dentist (moved)", utc("2024-03-06 08:00") } }));
}

TEST_F(ServerCalendars, ThisAndFutureMovesEveryLaterOccurrenceUntilTheNextRange)
{
    writeCalendarFile("work", "weekly.ics",
        calendarText({ event({ "UID:weekly", "SUMMARY:Team", "DTSTART:20240305T080000Z", "DURATION:PT1H",
                           "RRULE:FREQ=WEEKLY;COUNT=6" }),
            // From the third week on: Wednesday at 10:00 for 30 minutes, renamed.
            event({ "UID:weekly", "RECURRENCE-ID;RANGE=THISANDFUTURE:20240319T080000Z", "SUMMARY:Team (Wed)",
                "DTSTART:20240320T100000Z", "DURATION:PT30M" }),
            // One occurrence of that range moved on its own.
            event({ "UID:weekly", "RECURRENCE-ID:20240326T080000Z", "SUMMARY:Team (once)", "DTSTART:20240328T100000Z",
                "DURATION:PT30M" }),
            // From the sixth week on, back an hour earlier than the rule says.
            event({ "UID:weekly", "RECURRENCE-ID;RANGE=THISANDFUTURE:20240409T080000Z", "SUMMARY:Team (early)",
                "DTSTART:20240409T070000Z" }) }));

    const auto found = events(utc("2024-03-01 00:00"), utc("2024-05-01 00:00"));
    Listed seen;
    for (const auto& e : found)
        seen.emplace_back(e->title()->UTF8String(), e->startDate()->timeIntervalSince1970());
    EXPECT_EQ(seen,
        (Listed { { "Team", utc("2024-03-05 08:00") }, { "Team", utc("2024-03-12 08:00") },
            { "Team (Wed)", utc("2024-03-20 10:00") }, { "Team (once)", utc("2024-03-28 10:00") },
            { "Team (Wed)", utc("2024-04-03 10:00") }, { "Team (early)", utc("2024-04-09 07:00") } }));
    ASSERT_EQ(found.size(), 6u);
    EXPECT_EQ(found[4]->endDate()->timeIntervalSince1970(), utc("2024-04-03 10:30"));

    // A window that holds only the moved occurrence, not the one the rule gave.
    EXPECT_EQ(listed("2024-04-03 09:00", "2024-04-04 00:00"), (Listed { { "Team (Wed)", utc("2024-04-03 10:00") } }));
}

TEST_F(ServerCalendars, AnAllDayOccurrenceNamedByADateTimeIsReplaced)
{
    writeCalendarFile("work", "days.ics",
        calendarText(
            { event({ "UID:days", "SUMMARY:Course", "DTSTART;VALUE=DATE:20240305", "RRULE:FREQ=DAILY;COUNT=3" }),
                event({ "UID:days", "RECURRENCE-ID:20240306T000000", "SUMMARY:Course (moved)",
                    "DTSTART;VALUE=DATE:20240308" }),
                event({ "UID:days", "RECURRENCE-ID:20240307T000000Z", "STATUS:CANCELLED",
                    "DTSTART;VALUE=DATE:20240307" }) }));
    // All-day dates start at midnight in Berlin, 23:00 UTC the day before.
    EXPECT_EQ(listed("2024-03-04 00:00", "2024-03-10 00:00"),
        (Listed { { "Course", utc("2024-03-04 23:00") }, { "Course (moved)", utc("2024-03-07 23:00") } }));
}

TEST_F(ServerCalendars, AnInvalidCountBesideUntilKeepsTheEventAndSaysSo)
{
    writeCalendarFile("work", "broken.ics",
        calendarText({ event({ "UID:broken", "SUMMARY:Yoga", "DTSTART:20240304T170000Z",
            "RRULE:FREQ=DAILY;COUNT=-1;UNTIL=20240306T170000Z" }) }));
    EXPECT_EQ(listed("2024-03-01 00:00", "2024-03-10 00:00"),
        (Listed { { "Yoga", utc("2024-03-04 17:00") }, { "Yoga", utc("2024-03-05 17:00") },
            { "Yoga", utc("2024-03-06 17:00") } }));
    const auto lines = logLinesWith("broken.ics");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("following \"FREQ=DAILY;UNTIL=20240306T170000Z\" instead"), std::string::npos) << lines[0];
}

TEST_F(ServerCalendars, ByteOrderMarksUtf16AndUpperCaseNamesAreRead)
{
    const std::string item = calendarText({ event({ "UID:bom", "SUMMARY:Marked", "DTSTART:20240305T080000Z" }) });
    writeCalendarFile("work", "outlook.ics", "\xEF\xBB\xBF" + item);
    writeCalendarFile("work", "EXPORT.ICS",
        calendarText({ event({ "UID:upper", "SUMMARY:Upper", "DTSTART:20240305T090000Z", "DURATION:PT1H" }) }));
    const std::u16string wide = u"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:wide\r\n"
                                u"SUMMARY:Caf\u00e9 \U0001F370\r\nDTSTART:20240305T100000Z\r\nEND:VEVENT\r\n"
                                u"END:VCALENDAR\r\n";
    for (const bool bigEndian : { false, true }) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t unit : wide) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += bigEndian ? std::string { high, low } : std::string { low, high };
        }
        writeCalendarFile(bigEndian ? "utf16be" : "utf16le", "wide.ics", bytes);
    }
    EXPECT_EQ(listed("2024-03-05 00:00", "2024-03-06 00:00"),
        (Listed { { "Marked", utc("2024-03-05 08:00") }, { "Upper", utc("2024-03-05 09:00") },
            { "Caf\u00e9 \U0001F370", utc("2024-03-05 10:00") },
            { "Caf\u00e9 \U0001F370", utc("2024-03-05 10:00") } }));
}

// Google and Apple name the zone of a calendar's floating times with
// X-WR-TIMEZONE; dates, zoned and UTC times keep their own reading.
TEST_F(ServerCalendars, FloatingTimesOfACalendarThatNamesItsZoneAreReadInIt)
{
    writeCalendarFile("work", "google.ics",
        calendarText({ event({ "UID:floating", "SUMMARY:Floating", "DTSTART:20240305T090000", "DURATION:PT1H",
                           "RRULE:FREQ=DAILY;COUNT=2" }),
                         event({ "UID:zoned", "SUMMARY:Zoned", "DTSTART;TZID=Europe/Berlin:20240305T090000" }),
                         event({ "UID:utc", "SUMMARY:UTC", "DTSTART:20240305T090000Z" }),
                         event({ "UID:day", "SUMMARY:Day", "DTSTART;VALUE=DATE:20240306" }) },
            "X-WR-TIMEZONE:America/New_York\r\n"));
    EXPECT_EQ(listed("2024-03-05 00:00", "2024-03-07 00:00"),
        (Listed { { "Zoned", utc("2024-03-05 08:00") }, { "UTC", utc("2024-03-05 09:00") },
            { "Floating", utc("2024-03-05 14:00") }, { "Day", utc("2024-03-05 23:00") },
            { "Floating", utc("2024-03-06 14:00") } }));
}

// A weekly Saturday 10:00 in Berlin: the range moved to Monday keeps 10:00 on
// every later Monday, across the change to summer time (29-31 March), both
// when the moved occurrence lies across the change and when it lies before it.
TEST_F(ServerCalendars, ThisAndFutureKeepsTheTimeOfDayAcrossADaylightSavingChange)
{
    const auto weekly = [](const std::string& title, const std::string& from, const std::string& to) {
        return calendarText({ event({ "UID:" + title, "SUMMARY:" + title, "DTSTART;TZID=Europe/Berlin:20250301T100000",
                                  "DURATION:PT1H", "RRULE:FREQ=WEEKLY;COUNT=6" }),
            event({ "UID:" + title, "SUMMARY:" + title + " (Mon)",
                "RECURRENCE-ID;RANGE=THISANDFUTURE;TZID=Europe/Berlin:" + from + "T100000",
                "DTSTART;TZID=Europe/Berlin:" + to + "T100000", "DURATION:PT1H" }) });
    };
    writeCalendarFile("work", "across.ics", weekly("Across", "20250329", "20250331"));
    writeCalendarFile("home", "before.ics", weekly("Before", "20250315", "20250317"));
    EXPECT_EQ(listed("2025-03-01 00:00", "2025-04-08 00:00"),
        (Listed { { "Before", utc("2025-03-01 09:00") }, { "Across", utc("2025-03-01 09:00") },
            { "Before", utc("2025-03-08 09:00") }, { "Across", utc("2025-03-08 09:00") },
            { "Across", utc("2025-03-15 09:00") }, { "Before (Mon)", utc("2025-03-17 09:00") },
            { "Across", utc("2025-03-22 09:00") }, { "Before (Mon)", utc("2025-03-24 09:00") },
            { "Before (Mon)", utc("2025-03-31 08:00") }, { "Across (Mon)", utc("2025-03-31 08:00") },
            { "Before (Mon)", utc("2025-04-07 08:00") }, { "Across (Mon)", utc("2025-04-07 08:00") } }));
}

// Exchange ends an all-day series with the last day's local midnight in UTC:
// 23:00 UTC on 5 March is 6 March 00:00 in Berlin. Every zone shows the same
// four days, the 6th included.
TEST_F(ServerCalendars, AnAllDaySeriesEndingAtAUtcTimeHasTheSameDaysInEveryZone)
{
    writeCalendarFile("work", "exchange.ics",
        calendarText({ event({ "UID:course", "SUMMARY:Course", "DTSTART;VALUE=DATE:20250303",
            "DTEND;VALUE=DATE:20250304", "RRULE:FREQ=DAILY;UNTIL=20250305T230000Z" }) }));
    EXPECT_EQ(listed("2025-03-01 00:00", "2025-03-10 00:00"),
        (Listed { { "Course", utc("2025-03-02 23:00") }, { "Course", utc("2025-03-03 23:00") },
            { "Course", utc("2025-03-04 23:00") }, { "Course", utc("2025-03-05 23:00") } }));
    platform::setCurrentTimeZoneIdentifier("America/New_York");
    EXPECT_EQ(listed("2025-03-01 00:00", "2025-03-10 00:00"),
        (Listed { { "Course", utc("2025-03-03 05:00") }, { "Course", utc("2025-03-04 05:00") },
            { "Course", utc("2025-03-05 05:00") }, { "Course", utc("2025-03-06 05:00") } }));
}

} // namespace
