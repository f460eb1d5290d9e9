#include "ListNotes.h"

#include "DeviceCalendars.h"
#include "DeviceSession.h"
#include "ExtensionSettings.h"
#include "PreferenceFile.h"

#include <EventKit/EKEventStore.h>
#include <platform/Environment.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

// Files named one by one in each folder before the rest are counted.
constexpr std::size_t namedPerFolder = 3;

// A word as a shell reads it back: quoted when it holds anything but plain
// path characters.
std::string shellWord(const std::string& word)
{
    const bool plain = !word.empty()
        && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_./:@%+=,-~")
            == std::string::npos;
    if (plain)
        return word;
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Why the calendars that `which` names are all left out: one choice leaves them
// out alike.
std::string whyLeftOut(const CalendarChoice& choice, CalendarShown shown, const std::string& which)
{
    const std::string source = choiceClause(choice);
    switch (shown) {
    case CalendarShown::NothingChosen:
        return source + choosesNothingClause(choice);
    case CalendarShown::DeselectedInCalendarApp:
        return source + ", which hides " + which + " (" + deselectedCalendarsKey + " in " + choice.file + ")";
    case CalendarShown::NotInCalendarList:
    case CalendarShown::Yes:
        break;
    }
    return source + ", which names none of " + which;
}

std::string fixFor(const CalendarChoice& choice, const CommonOptions& common, const ListOptions& options)
{
    const std::string select = suggestedCommand("calendars select NAME…", common, options.calendars);
    if (choice.fromCalendarList)
        return select + " adds calendars to it (" + suggestedCommand("calendars", common, options.calendars)
            + " names them)";
    std::string fix = suggestedCommand("prefs set onlySelectedCalendars NO", common) + " and then " + select
        + " choose them in the calendar list instead";
    if (!choice.chooses)
        fix += "; a device made by `dayglass device init DIR --calendars PATH…` shows every calendar";
    return fix;
}

bool isLeftOut(const DeviceCalendar& calendar)
{
    return calendar.shown != CalendarShown::Yes;
}

} // namespace

std::vector<std::string> skippedCalendarNotes()
{
    std::vector<std::string> notes;
    std::map<std::string, std::size_t> perFolder;
    std::vector<std::string> folders; // in the order met
    for (const EKSkippedCalendarFile& file : EKEventStore::skippedCalendarFiles()) {
        const std::string folder = fs::path(file.path).parent_path().string();
        const std::size_t count = ++perFolder[folder];
        if (count == 1)
            folders.push_back(folder);
        if (count <= namedPerFolder)
            notes.push_back("skipped " + file.path + ": " + sentenceRest(file.reason));
    }
    for (const std::string& folder : folders) {
        if (const std::size_t count = perFolder[folder]; count > namedPerFolder)
            notes.push_back("skipped " + std::to_string(count - namedPerFolder) + " more files in " + folder);
    }
    return notes;
}

void printNote(const std::string& note)
{
    std::fprintf(stderr, "dayglass: note: %s\n", note.c_str());
}

void printNotes(const std::vector<std::string>& notes)
{
    for (const std::string& note : notes)
        printNote(note);
}

std::vector<std::string> emptyListNotes(const ListOptions& options)
{
    if (!options.calendarAccessGranted)
        return { "calendar access is denied (--calendar-access denied), so the list shows no events" };
    return {};
}

std::vector<std::string> calendarChoiceNotes(const CommonOptions& common, const ListOptions& options)
{
    // Without access, or with the extension switched off, the list searches
    // nothing anyway, and other notes say so.
    if (!options.calendarAccessGranted || !extensionSetting<setting::isEnabled>())
        return {};
    const CalendarChoice choice = readCalendarChoice();
    const std::vector<DeviceCalendar> calendars = deviceCalendars(choice, false);
    if (calendars.empty())
        // What --calendars gave and why it is nothing, the store's notes say.
        return options.calendars.empty() ? std::vector<std::string> { "the device has no calendars (no vdir folder in "
            + platform::resolveDevicePath(deviceCalendarsPath)
            + "); give --calendars PATH…, or make a device of your own with them: `dayglass device init DIR "
              "--calendars PATH…`" }
                                         : std::vector<std::string> {};
    if (std::all_of(calendars.begin(), calendars.end(), isLeftOut))
        return { "no calendar is chosen: " + whyLeftOut(choice, calendars.front().shown, "the device's calendars")
            + "; " + fixFor(choice, common, options) };
    std::vector<DeviceCalendar> added;
    std::copy_if(calendars.begin(), calendars.end(), std::back_inserter(added),
        [](const DeviceCalendar& calendar) { return !calendar.onDevice; });
    if (!added.empty() && std::all_of(added.begin(), added.end(), isLeftOut))
        return { "the calendars given with --calendars are not shown: "
            + whyLeftOut(choice, added.front().shown, "them") + "; " + fixFor(choice, common, options) };
    return {};
}

std::string suggestedCommand(
    const std::string& words, const CommonOptions& common, const std::vector<std::string>& calendars)
{
    std::string command = "`dayglass " + words;
    if (!calendars.empty()) {
        command += " --calendars";
        for (const std::string& path : calendars)
            command += " " + shellWord(path);
    }
    if (common.root != defaultDeviceRoot())
        command += " --root " + shellWord(common.root);
    return command + "`";
}
