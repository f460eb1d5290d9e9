// dayglass list, run as a user runs it, on a small device root of its own.
#include "CommandRunner.h"
#include "LocalTime.h"

#include <TempDeviceRoot.h>

#include <Foundation/NSDictionary.h>
#include <Foundation/NSPropertyList.h>
#include <Foundation/NSValue.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>

using nlohmann::json;

namespace {

// The identifier of the device's calendar folder "work": a name-based UUID of
// "x-dayglass-calendar:work", the same on every machine.
const std::string workCalendar = "13290FF1-3C0E-5D38-8FB5-134E6A049DD4";

std::string lines(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += item + "\r\n";
    return text;
}

std::string calendar(const std::vector<std::string>& body)
{
    return lines({ "BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Dayglass//List tests//EN" }) + lines(body)
        + lines({ "END:VCALENDAR" });
}

// The `o` value of an occurrence starting at a wall time in Berlin.
std::string occurrenceValue(events_testing::LocalDay day, int hour, int minute = 0)
{
    const Ref<NSDate> start = events_testing::localTime("Europe/Berlin", day, hour, minute);
    return std::to_string(std::llround(start->timeIntervalSinceReferenceDate())) + ".0";
}

void writePropertyList(const NSObject* root, const char* devicePath)
{
    std::string error;
    ASSERT_TRUE(NSPropertyListSerialization::writePropertyList(root, devicePath, NSPropertyListXMLFormat_v1_0, &error))
        << error;
}

// A device whose settings group by day over two days and show locations, with a "Work" calendar
// that the calendar application shows: a stand-up on weekdays and an all-day
// offsite on 5 March 2025.
class ListCommand : public ::testing::Test {
protected:
    ListCommand()
    {
        auto settings = NSMutableDictionary::dictionary();
        settings->setObjectForKey(NSNumber::numberWithBool(true).get(), "groupByDays");
        settings->setObjectForKey(NSNumber::numberWithBool(true).get(), "onlySelectedCalendars");
        settings->setObjectForKey(NSNumber::numberWithLongLong(2).get(), "daysToDisplay");
        settings->setObjectForKey(NSNumber::numberWithLongLong(0).get(), "maxEventsToDisplay");
        settings->setObjectForKey(NSNumber::numberWithBool(true).get(), "displayLocation");
        writePropertyList(settings.get(), "/var/mobile/Library/Preferences/com.quarnel.dayglass2.plist");
        writePropertyList(
            NSDictionary::dictionary().get(), "/private/var/mobile/Library/Preferences/com.apple.mobilecal.plist");

        const std::string work = "/var/mobile/Library/Calendars/work/";
        root_.writeText(work + "displayname", "Work");
        root_.writeText(work + "color", "#1BADF8");
        root_.writeText(work + "standup.ics",
            calendar({ "BEGIN:VEVENT", "UID:standup", "DTSTAMP:20250101T000000Z", "SUMMARY:Team stand-up",
                "LOCATION:Room Aurora", "DTSTART;TZID=Europe/Berlin:20250106T093000",
                "DTEND;TZID=Europe/Berlin:20250106T094500", "RRULE:FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR", "END:VEVENT" }));
        root_.writeText(work + "offsite.ics",
            calendar({ "BEGIN:VEVENT", "UID:offsite", "DTSTAMP:20250101T000000Z", "SUMMARY:Offsite",
                "DTSTART;VALUE=DATE:20250305", "DTEND;VALUE=DATE:20250306", "END:VEVENT" }));
    }

    // In Berlin unless the arguments name a zone.
    command_runner::Result list(std::vector<std::string> args) const
    {
        if (std::find(args.begin(), args.end(), "--tz") == args.end())
            args.insert(args.begin(), { "--tz", "Europe/Berlin" });
        args.insert(args.begin(), { "list", "--root", root_.path().string() });
        return command_runner::run(args);
    }

    json listJson(const std::vector<std::string>& args) const
    {
        std::vector<std::string> all = args;
        all.push_back("--json");
        const command_runner::Result result = list(all);
        EXPECT_EQ(result.status, 0) << result.err;
        return json::parse(result.out);
    }

    testing_support::TempDeviceRoot root_;
};

} // namespace

TEST_F(ListCommand, JsonHasTheSectionsAndEveryFieldOfTheRows)
{
    const json listed = listJson({ "--now", "2025-03-04T08:00", "--locale", "en_US" });
    const std::vector<double> blue { 0x1B / 255.0, 0xAD / 255.0, 0xF8 / 255.0, 1 };
    const std::string link = "x-apple-calevent://" + workCalendar + "/standup?o=";
    const json expected = {
        { "sections",
            {
                { { "title", "Today" },
                    { "events",
                        { { { "title", "Team stand-up" }, { "location", "Room Aurora" },
                            { "start", "2025-03-04T09:30:00+01:00" }, { "end", "2025-03-04T09:45:00+01:00" },
                            { "allDay", false }, { "dateText", "9:30\u202fAM" },
                            { "url", link + occurrenceValue({ 2025, 3, 4 }, 9, 30) }, { "calendar", workCalendar },
                            { "calendarTitle", "Work" }, { "color", blue } } } } },
                { { "title", "Tomorrow" },
                    { "events",
                        { { { "title", "Offsite" }, { "location", nullptr }, { "start", "2025-03-05T00:00:00+01:00" },
                              { "end", "2025-03-05T23:59:59+01:00" }, { "allDay", true }, { "dateText", "Tomorrow" },
                              { "url",
                                  "x-apple-calevent://" + workCalendar
                                      + "/offsite?o=" + occurrenceValue({ 2025, 3, 5 }, 0) },
                              { "calendar", workCalendar }, { "calendarTitle", "Work" }, { "color", blue } },
                            { { "title", "Team stand-up" }, { "location", "Room Aurora" },
                                { "start", "2025-03-05T09:30:00+01:00" }, { "end", "2025-03-05T09:45:00+01:00" },
                                { "allDay", false }, { "dateText", "Tomorrow, 9:30\u202fAM" },
                                { "url", link + occurrenceValue({ 2025, 3, 5 }, 9, 30) }, { "calendar", workCalendar },
                                { "calendarTitle", "Work" }, { "color", blue } } } } },
            } },
    };
    EXPECT_EQ(listed, expected) << listed.dump(2);

    // The same moment written with its offset.
    EXPECT_EQ(listJson({ "--now", "2025-03-04T07:00Z", "--locale", "en_US" }), listed);
}

TEST_F(ListCommand, AgendaShowsEachDayUnderItsTitleInTheLocalesWords)
{
    const command_runner::Result english = list({ "--now", "2025-03-04T08:00", "--locale", "en_US" });
    EXPECT_EQ(english.status, 0) << english.err;
    EXPECT_NE(english.out.find("Today\n"), std::string::npos) << english.out;
    EXPECT_NE(english.out.find("\nTomorrow\n"), std::string::npos) << english.out;
    EXPECT_NE(english.out.find("Team stand-up  Room Aurora\n"), std::string::npos) << english.out;

    const command_runner::Result german = list({ "--now", "2025-03-04T08:00", "--locale", "de_DE" });
    EXPECT_EQ(german.status, 0) << german.err;
    EXPECT_EQ(german.out.rfind("Heute\n", 0), 0u) << german.out;
    EXPECT_NE(german.out.find("\nMorgen\n"), std::string::npos) << german.out;
    EXPECT_NE(german.out.find("Morgen, 09:30"), std::string::npos) << german.out;

    EXPECT_EQ(list({ "--now", "2025-03-04T08:00", "--days", "0" }).out, "No upcoming events.\n");
    EXPECT_EQ(list({ "--now", "2025-03-04T08:00", "--calendar-access", "denied" }).out, "No upcoming events.\n");
}

TEST_F(ListCommand, MaxAndDaysOverrideTheSettings)
{
    const json one = listJson({ "--now", "2025-03-04T08:00", "--max", "1" });
    ASSERT_EQ(one["sections"].size(), 1u);
    EXPECT_EQ(one["sections"][0]["events"].size(), 1u);

    const json week = listJson({ "--now", "2025-03-04T08:00", "--days", "7" });
    std::size_t rows = 0;
    for (const json& section : week["sections"])
        rows += section["events"].size();
    // Five stand-ups (Tuesday to the next Monday) and the offsite.
    EXPECT_EQ(rows, 6u);
}

// An exported calendar with a weekly series, one occurrence moved and one
// cancelled: each remaining occurrence once, with its own start in its link.
TEST_F(ListCommand, ExportedCalendarListsExactlyTheRemainingOccurrences)
{
    const std::string exported = (root_.path() / "book-club.ics").string();
    std::ofstream(exported) << calendar({
        "X-WR-CALNAME:Book club",
        "BEGIN:VEVENT",
        "UID:book-club",
        "DTSTAMP:20250101T000000Z",
        "SUMMARY:Book club",
        "DTSTART;TZID=Europe/Berlin:20250501T190000",
        "DTEND;TZID=Europe/Berlin:20250501T210000",
        "RRULE:FREQ=WEEKLY",
        "END:VEVENT",
        "BEGIN:VEVENT",
        "UID:book-club",
        "DTSTAMP:20250101T000000Z",
        "RECURRENCE-ID;TZID=Europe/Berlin:20250515T190000",
        "SUMMARY:Book club (at Lena's)",
        "DTSTART;TZID=Europe/Berlin:20250516T180000",
        "DTEND;TZID=Europe/Berlin:20250516T200000",
        "END:VEVENT",
        "BEGIN:VEVENT",
        "UID:book-club",
        "DTSTAMP:20250101T000000Z",
        "RECURRENCE-ID;TZID=Europe/Berlin:20250522T190000",
        "STATUS:CANCELLED",
        "SUMMARY:Book club",
        "DTSTART;TZID=Europe/Berlin:20250522T190000",
        "DTEND;TZID=Europe/Berlin:20250522T210000",
        "END:VEVENT",
    });

    const json listed = listJson({ "--calendars", exported, "--now", "2025-05-01T12:00", "--days", "28" });
    std::vector<json> rows;
    for (const json& section : listed["sections"])
        for (const json& row : section["events"])
            if (row["calendar"] != workCalendar)
                rows.push_back(row);
    ASSERT_EQ(rows.size(), 3u) << listed.dump(2);

    const std::string calendarId = rows[0]["calendar"];
    const std::string link = "x-apple-calevent://" + calendarId + "/book-club?o=";
    EXPECT_EQ(rows[0]["title"], "Book club");
    EXPECT_EQ(rows[0]["url"], link + occurrenceValue({ 2025, 5, 1 }, 19));
    EXPECT_EQ(rows[1]["title"], "Book club");
    EXPECT_EQ(rows[1]["url"], link + occurrenceValue({ 2025, 5, 8 }, 19));
    EXPECT_EQ(rows[2]["title"], "Book club (at Lena's)");
    EXPECT_EQ(rows[2]["start"], "2025-05-16T18:00:00+02:00");
    EXPECT_EQ(rows[2]["url"], link + occurrenceValue({ 2025, 5, 16 }, 18));
    for (const json& row : rows)
        EXPECT_EQ(row["calendar"], calendarId);
}

TEST_F(ListCommand, RefusesBadValuesWithOneLine)
{
    const std::vector<std::vector<std::string>> bad {
        { "--now", "yesterday" },
        { "--now", "2025-02-30T10:00" },
        { "--now", "2025-03-04T10:00+25:00" },
        { "--tz", "Mars/Olympus_Mons" },
        { "--locale", "zz_ZZ" },
        { "--days", "-1" },
        { "--days", "two" },
        { "--max", "many" },
        { "--calendars", (root_.path() / "missing.ics").string() },
        { "--calendar-access", "maybe" },
    };
    for (const auto& arguments : bad) {
        const command_runner::Result refused = list(arguments);
        SCOPED_TRACE(arguments[0] + " " + arguments[1]);
        EXPECT_NE(refused.status, 0);
        EXPECT_EQ(refused.out, "");
        EXPECT_EQ(refused.err.rfind("dayglass: ", 0), 0u) << refused.err;
        EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    }
}

TEST_F(ListCommand, ASwitchedOffExtensionListsNothingUnlessAskedTo)
{
    command_runner::run({ "prefs", "set", "enabled", "NO", "--root", root_.path().string() });
    const command_runner::Result off = list({ "--now", "2025-03-04T08:00" });
    EXPECT_EQ(off.status, 0);
    EXPECT_EQ(off.out, "No upcoming events.\n");
    EXPECT_EQ(off.err,
        "dayglass: note: the extension is switched off (enabled is NO), so the lock screen lists nothing; "
        "--ignore-enabled lists the events anyway\n");
    EXPECT_NE(list({ "--now", "2025-03-04T08:00", "--ignore-enabled" }).out.find("Team stand-up"), std::string::npos);
}

// Locations as the lock screen shows them (JSON keeps every field), and the
// calendar named once a second calendar takes part.
TEST_F(ListCommand, AgendaFollowsDisplayLocationAndNamesMixedCalendars)
{
    command_runner::run({ "prefs", "set", "displayLocation", "NO", "--root", root_.path().string() });
    const std::string home = "/var/mobile/Library/Calendars/home/";
    root_.writeText(home + "displayname", "Home");
    root_.writeText(home + "dinner.ics",
        calendar({ "BEGIN:VEVENT", "UID:dinner", "DTSTAMP:20250101T000000Z", "SUMMARY:Dinner", "LOCATION:Kitchen",
            "DTSTART;TZID=Europe/Berlin:20250304T190000", "DTEND;TZID=Europe/Berlin:20250304T200000", "END:VEVENT" }));

    const command_runner::Result result = list({ "--now", "2025-03-04T08:00", "--locale", "en_US", "--days", "1" });
    EXPECT_EQ(result.out,
        "Today\n"
        "  9:30\u202fAM   Team stand-up  Work\n"
        "  7:00\u202fPM   Dinner         Home\n"
        "\n"
        "Tomorrow\n"
        "  Tomorrow  Offsite        Work\n");
    const json listed = listJson({ "--now", "2025-03-04T08:00", "--days", "1" });
    EXPECT_EQ(listed["sections"][0]["events"][1]["location"], "Kitchen");
    EXPECT_EQ(listed["sections"][0]["events"][1]["calendarTitle"], "Home");
}

// Columns are counted as a terminal shows them, and what is too long for its
// column is cut there.
TEST_F(ListCommand, AgendaColumnsHoldWithWideTextAndCutAtTheColumn)
{
    root_.writeText("/var/mobile/Library/Calendars/home/displayname", "Home");
    const std::vector<std::array<std::string, 4>> events {
        { "work", "wide", "会議の準備", "東京" },
        { "work", "marks", "Cafe\u0301 \u2615 \U0001F469\u200D\U0001F4BB", "Kitchen" },
        { "home", "long", "A title that runs on well past the title column",
            "A location that runs on past its column" },
    };
    int hour = 10;
    for (const auto& [folder, uid, title, location] : events)
        root_.writeText("/var/mobile/Library/Calendars/" + folder + "/" + uid + ".ics",
            calendar({ "BEGIN:VEVENT", "UID:" + uid, "DTSTAMP:20250101T000000Z", "SUMMARY:" + title,
                "LOCATION:" + location, "DTSTART;TZID=Europe/Berlin:20250304T" + std::to_string(hour++) + "0000",
                "DTEND;TZID=Europe/Berlin:20250304T" + std::to_string(hour) + "3000", "END:VEVENT" }));

    const command_runner::Result result = list({ "--now", "2025-03-04T08:00", "--locale", "en_GB", "--days", "1" });
    const std::string pad22(22, ' ');
    EXPECT_EQ(result.out,
        "Today\n"
        "  09:30     Team stand-up                     Room Aurora               Work\n"
        "  10:00     会議の準備"
            + pad22
            + "  東京                      Work\n"
              "  11:00     Cafe\u0301 \u2615 \U0001F469\u200D\U0001F4BB"
            + pad22
            + "  Kitchen                   Work\n"
              "  12:00     A title that runs on well past …  A location that runs on…  Home\n"
              "\n"
              "Tomorrow\n"
              "  Tomorrow  Offsite                                                     Work\n");
}

// A calendar folder as sync tools and exporters leave it: what cannot be read
// is named, the first few files of a folder one by one and the rest counted,
// by every command that reads the calendars, with the index or without; an
// item named .ICS is read.
TEST_F(ListCommand, FilesSkippedInACalendarFolderAreNotedByListRenderAndSimulate)
{
    const std::filesystem::path folder = root_.path() / "synced";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "EXPORT.ICS") << calendar({ "BEGIN:VEVENT", "UID:export", "SUMMARY:Exported",
        "DTSTART;TZID=Europe/Berlin:20250304T120000", "END:VEVENT" });
    std::ofstream(folder / "a-notes.ics") << "shopping: milk\n";
    std::ofstream(folder / "b-cut.ics") << lines({ "BEGIN:VCALENDAR", "VERSION:2.0", "BEGIN:VEVENT", "UID:cut" });
    ASSERT_EQ(mkfifo((folder / "c-pipe.ics").c_str(), 0644), 0);
    std::ofstream(folder / "d-more.ics") << "more\n";
    std::ofstream(folder / "e-more.ics") << "more\n";
    const std::string notes = "dayglass: note: skipped " + (folder / "a-notes.ics").string()
        + ": it is not an iCalendar file\n"
          "dayglass: note: skipped "
        + (folder / "b-cut.ics").string()
        + ": its BEGIN and END lines do not pair up (is it cut short?)\n"
          "dayglass: note: skipped "
        + (folder / "c-pipe.ics").string()
        + ": not a regular file\n"
          "dayglass: note: skipped 2 more files in "
        + folder.string() + "\n";

    for (const bool indexed : { true, false }) {
        std::vector<std::string> args { "--now", "2025-03-04T08:00", "--calendars", folder.string() };
        if (!indexed)
            args.push_back("--no-cache");
        const command_runner::Result listed = list(args);
        EXPECT_NE(listed.out.find("Exported"), std::string::npos) << indexed;
        EXPECT_EQ(listed.err, notes) << indexed;
    }
    const std::string script = (root_.path() / "wake.simulate").string();
    std::ofstream(script) << "wake\n";
    for (const std::vector<std::string>& command :
        { std::vector<std::string> { "render", "-o", (root_.path() / "screen.png").string() },
            std::vector<std::string> { "simulate", script } }) {
        std::vector<std::string> args = command;
        args.insert(args.end(), { "--root", root_.path().string(), "--calendars", folder.string() });
        const command_runner::Result result = command_runner::run(args);
        EXPECT_EQ(result.status, 0) << command[0] << result.err;
        EXPECT_EQ(result.err, notes) << command[0];
    }
}

TEST_F(ListCommand, OneCalendarIsReadFromStandardInput)
{
    const std::string sent = calendar({ "BEGIN:VEVENT", "UID:sent", "SUMMARY:Piped in",
        "DTSTART;TZID=Europe/Berlin:20250304T150000", "DTEND;TZID=Europe/Berlin:20250304T160000", "END:VEVENT" });
    const command_runner::Result listed
        = command_runner::runWithInput({ "list", "--root", root_.path().string(), "--tz", "Europe/Berlin", "--now",
                                           "2025-03-04T08:00", "--days", "1", "--json", "--calendars", "-" },
            sent);
    ASSERT_EQ(listed.status, 0) << listed.err;
    const json events = json::parse(listed.out)["sections"][0]["events"];
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1]["title"], "Piped in");
    EXPECT_EQ(events[1]["start"], "2025-03-04T15:00:00+01:00");
    EXPECT_EQ(events[1]["calendarTitle"], "stdin");

    const command_runner::Result broken
        = command_runner::runWithInput({ "list", "--root", root_.path().string(), "--calendars", "-" }, "hello\n");
    EXPECT_EQ(broken.err, "dayglass: note: skipped standard input: it is not an iCalendar file\n");
    const command_runner::Result both
        = command_runner::runWithInput({ "simulate", "--root", root_.path().string(), "--calendars", "-" }, "wake\n");
    EXPECT_EQ(both.status, 2);
    EXPECT_EQ(both.err,
        "dayglass: --calendars - and the script cannot both come from standard input: give the script as a file\n");
}

TEST_F(ListCommand, EmptyListsAndSkippedFilesSayWhy)
{
    const std::string notCalendar = (root_.path() / "notes.ics").string();
    std::ofstream(notCalendar) << "shopping: milk\n";
    const command_runner::Result skipped = list({ "--now", "2025-03-04T08:00", "--calendars", notCalendar });
    EXPECT_EQ(skipped.err, "dayglass: note: skipped " + notCalendar + ": it is not an iCalendar file\n");

    const command_runner::Result denied = list({ "--now", "2025-03-04T08:00", "--calendar-access", "denied" });
    EXPECT_EQ(denied.err,
        "dayglass: note: calendar access is denied (--calendar-access denied), so the list shows no events\n");

    testing_support::TempDeviceRoot empty;
    const command_runner::Result none = command_runner::run({ "list", "--root", empty.path().string() });
    EXPECT_EQ(none.out, "No upcoming events.\n");
    EXPECT_NE(none.err.find("the device has no calendars"), std::string::npos) << none.err;
}

// Hiding the details, the agenda names each row's calendar and no place, as the
// lock screen shows it to anyone; the owner's list is the usual one.
TEST_F(ListCommand, HiddenDetailsListTheCalendarUnlessAuthenticated)
{
    const std::vector<std::string> today { "--now", "2025-03-04T08:00", "--locale", "en_US", "--days", "1" };
    const std::string owner = list(today).out;
    command_runner::run({ "prefs", "set", "hideDetailsWhileLocked", "YES", "--root", root_.path().string() });
    EXPECT_EQ(list(today).out,
        "Today\n"
        "  9:30\u202fAM   Work\n"
        "\n"
        "Tomorrow\n"
        "  Tomorrow  Work\n");
    std::vector<std::string> authenticated = today;
    authenticated.push_back("--authenticated");
    EXPECT_EQ(list(authenticated).out, owner);

    const json hidden = listJson(today);
    EXPECT_EQ(hidden["detailsHidden"], true);
    EXPECT_EQ(hidden["sections"][0]["events"][0]["title"], "Work");
    EXPECT_EQ(hidden["sections"][0]["events"][0]["location"], nullptr);
}
