// dayglass calendars, select and deselect, and the notes that say why a list
// shows none of the calendars, run as a user runs them on a device root of their own.
#include "CommandRunner.h"

#include <TempDeviceRoot.h>

#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSPropertyList.h>
#include <Foundation/NSValue.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>

using command_runner::run;
using nlohmann::json;

namespace {

const char* const calendarListPath = "/var/mobile/Library/Preferences/com.quarnel.dayglass2.calendars.plist";
const char* const calendarAppPath = "/private/var/mobile/Library/Preferences/com.apple.mobilecal.plist";

std::string item(const std::string& uid, const std::string& title, const std::string& sequence = "0")
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Dayglass//Calendars tests//EN\r\nBEGIN:VEVENT\r\nUID:" + uid
        + "\r\nSEQUENCE:" + sequence
        + "\r\nDTSTAMP:20250101T000000Z\r\nDTSTART:20250305T100000Z\r\nDTEND:20250305T"
          "110000Z\r\nSUMMARY:"
        + title + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

// A device with the calendars Work (two events, one of them in two revisions),
// Home and Family, and a vdir outside it, "Trips", to add with --calendars.
class Calendars : public ::testing::Test {
protected:
    Calendars()
    {
        const std::string folder = "/var/mobile/Library/Calendars/";
        root_.writeText(folder + "work/displayname", "Work");
        root_.writeText(folder + "work/a.ics", item("review", "Review"));
        root_.writeText(folder + "work/b.ics", item("review", "Review, moved", "1"));
        root_.writeText(folder + "work/c.ics", item("standup", "Stand-up"));
        root_.writeText(folder + "home/displayname", "Home");
        root_.writeText(folder + "home/a.ics", item("plumber", "Plumber"));
        root_.writeText(folder + "family/displayname", "Family");
        std::filesystem::create_directories(trips());
        std::ofstream(trips() / "displayname") << "Trips";
        std::ofstream(trips() / "lisbon.ics") << item("lisbon", "Lisbon");
    }

    std::string root() const { return root_.path().string(); }
    std::filesystem::path trips() const { return elsewhere_.path() / "trips"; }

    command_runner::Result dayglass(std::vector<std::string> args) const
    {
        args.insert(args.end(), { "--root", root() });
        return run(args);
    }

    // The calendars by title, as `calendars --json` prints them.
    std::map<std::string, json> calendars(std::vector<std::string> args = {}) const
    {
        args.insert(args.begin(), { "calendars", "--json" });
        const auto result = dayglass(args);
        EXPECT_EQ(result.status, 0) << result.err;
        const json document = json::parse(result.out);
        std::map<std::string, json> byTitle;
        for (const json& calendar : document["calendars"])
            byTitle[calendar["title"]] = calendar;
        return byTitle;
    }

    std::string identifierOf(const std::string& title) const { return calendars()[title]["identifier"]; }

    // The calendar list's entries, strings as they are and other values by their description.
    std::vector<std::string> storedList() const
    {
        std::vector<std::string> entries;
        const Ref<NSArray> list = NSArray::arrayWithContentsOfFile(calendarListPath);
        if (list)
            for (const Ref<NSObject>& entry : *list)
                entries.push_back(entry->description());
        return entries;
    }

    void writeList(const NSObject* root, const char* devicePath) const
    {
        std::string error;
        ASSERT_TRUE(
            NSPropertyListSerialization::writePropertyList(root, devicePath, NSPropertyListXMLFormat_v1_0, &error))
            << error;
    }

    // The device's root is made last, so that it is the platform's root too.
    testing_support::TempDeviceRoot elsewhere_;
    testing_support::TempDeviceRoot root_;
};

} // namespace

// Every calendar, its events counted once per UID (from the index and from the
// files alike), and why the list does not show it.
TEST_F(Calendars, ShowEveryCalendarAndWhyTheListLeavesItOut)
{
    const std::string home = identifierOf("Home");
    auto deselected = NSMutableDictionary::dictionary();
    deselected->setObjectForKey(NSArray::array({ NSString::string(home) }).get(), "LastDeselectedCalendars");
    writeList(deselected.get(), calendarAppPath);

    for (const bool indexed : { true, false }) {
        std::vector<std::string> args = { "--calendars", trips().string() };
        if (!indexed)
            args.push_back("--no-cache");
        std::map<std::string, json> shown = calendars(args);
        ASSERT_EQ(shown.size(), 4u) << indexed;
        EXPECT_EQ(shown["Work"]["events"], 2) << indexed;
        EXPECT_EQ(shown["Work"]["source"], "device");
        EXPECT_EQ(shown["Trips"]["source"], "added");
        EXPECT_EQ(shown["Trips"]["path"], trips().string());
        EXPECT_EQ(shown["Trips"]["shown"], true);
        EXPECT_EQ(shown["Home"]["shown"], false);
        EXPECT_EQ(shown["Home"]["notShownBecause"], "deselected in the calendar application");
    }

    EXPECT_EQ(dayglass({ "prefs", "set", "onlySelectedCalendars", "NO" }).status, 0);
    std::map<std::string, json> shown = calendars();
    EXPECT_EQ(shown["Work"]["notShownBecause"], "the calendar list is missing or empty");
    EXPECT_NE(dayglass({ "calendars" }).out.find("which is missing or empty, so it shows none.\n"), std::string::npos);
}

// The pane's writes: binary, atomic, every other entry kept in its place, the
// change announced to running devices, and a sentence for each calendar.
TEST_F(Calendars, SelectAndDeselectKeepEveryOtherEntryAndPostTheChange)
{
    const std::string work = identifierOf("Work");
    const std::string home = identifierOf("Home");
    writeList(
        NSArray::array({ NSString::string("GONE-CALENDAR"), NSNumber::numberWithLongLong(7), NSString::string(work) })
            .get(),
        calendarListPath);
    command_runner::Running watching({ "settings", "--watch", "--json", "--root", root() });
    ASSERT_TRUE(watching.nextLine().has_value());

    const auto selected = dayglass({ "calendars", "select", "home", "Work", home });
    EXPECT_EQ(selected.status, 0) << selected.err;
    EXPECT_EQ(selected.out,
        "Selected Home (" + home + ").\nWork (" + work + ") was selected already.\nThe calendar list "
            + root_.file(calendarListPath).string() + " names GONE-CALENDAR (no calendar seen now), Work and Home.\n");
    EXPECT_NE(
        selected.err.find("`dayglass prefs set onlySelectedCalendars NO --root " + root() + "`"), std::string::npos)
        << selected.err;
    EXPECT_EQ(storedList(), (std::vector<std::string> { "GONE-CALENDAR", "7", work, home }));
    std::ifstream file(root_.file(calendarListPath), std::ios::binary);
    std::string magic(8, '\0');
    file.read(magic.data(), 8);
    EXPECT_EQ(magic, "bplist00");
    EXPECT_TRUE(watching.nextLine().has_value()) << "no change notification";

    const auto deselected = dayglass({ "calendars", "deselect", "GONE-CALENDAR", "Work", "Family" });
    EXPECT_EQ(deselected.status, 0) << deselected.err;
    EXPECT_NE(
        deselected.out.find("Deselected GONE-CALENDAR.\nDeselected Work (" + work + ").\nFamily ("), std::string::npos)
        << deselected.out;
    EXPECT_EQ(storedList(), (std::vector<std::string> { "7", home }));
    EXPECT_FALSE(std::filesystem::exists(root_.file("/var/mobile/Library/Preferences/com.quarnel.dayglass2.plist")));

    // Added calendars are named with the same --calendars, after the names.
    EXPECT_EQ(dayglass({ "calendars", "select", "Trips", "--calendars", trips().string() }).status, 0);
    EXPECT_EQ(storedList().back(), calendars({ "--calendars", trips().string() })["Trips"]["identifier"]);
}

// A name that fits no calendar, or several, gets the candidates and changes nothing.
TEST_F(Calendars, UnknownAndAmbiguousNamesGetTheCandidatesAndChangeNothing)
{
    root_.writeText("/var/mobile/Library/Calendars/family2/displayname", "Family");
    const std::map<std::string, json> before = calendars();

    const auto unknown = dayglass({ "calendars", "select", "Home", "Wrok" });
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err,
        "dayglass: no calendar is called or identified by \"Wrok\" (did you mean \"Work\"?); the device's calendars "
        "are Family, Family, Home and Work (a calendar given with --calendars needs --calendars here too)\n");

    const auto ambiguous = dayglass({ "calendars", "deselect", "family" });
    EXPECT_EQ(ambiguous.status, 2);
    EXPECT_NE(ambiguous.err.find("\"family\" is the title of 2 calendars; name the one you mean by its identifier: "),
        std::string::npos)
        << ambiguous.err;
    EXPECT_NE(ambiguous.err.find("(device: family2)"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(root_.file(calendarListPath)));
}

// A list that searches nothing, or none of the calendars the user added, says why
// and what to run.
TEST_F(Calendars, ListNotesSayWhyNoCalendarIsShownAndWhichCommandChangesIt)
{
    const auto noCalendarApp = dayglass({ "list", "--calendars", trips().string() });
    EXPECT_NE(noCalendarApp.err.find("dayglass: note: no calendar is chosen: the list shows the calendars the "
                                     "calendar application shows (onlySelectedCalendars is YES), and its preferences "),
        std::string::npos)
        << noCalendarApp.err;
    EXPECT_NE(noCalendarApp.err.find("`dayglass prefs set onlySelectedCalendars NO --root " + root()
                  + "` and then `dayglass calendars select NAME… --calendars " + trips().string() + " --root " + root()
                  + "`"),
        std::string::npos)
        << noCalendarApp.err;

    EXPECT_EQ(dayglass({ "prefs", "set", "onlySelectedCalendars", "NO" }).status, 0);
    EXPECT_EQ(dayglass({ "calendars", "select", "Work" }).status, 0);
    const auto addedLeftOut = dayglass({ "list", "--calendars", trips().string() });
    EXPECT_NE(addedLeftOut.err.find(
                  "dayglass: note: the calendars given with --calendars are not shown: the list shows the calendars "
                  "in the calendar list "),
        std::string::npos)
        << addedLeftOut.err;
    EXPECT_NE(addedLeftOut.err.find("which names none of them; `dayglass calendars select NAME… --calendars "),
        std::string::npos);
    EXPECT_EQ(dayglass({ "list" }).err, "") << "a device showing its own calendars needs no note";
}
