// The calendars a booted device sees, its own and those added with --calendars,
// and which of them the extension's list searches, worked out from the files the
// extension reads as its onlySelectedCalendars setting says. Shared by
// `dayglass calendars`, which shows and changes the choice, and by the notes that
// say why a list shows none of them.
#pragma once

#include <array>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The device's own calendars: one vdir folder each.
inline constexpr const char* deviceCalendarsPath = "/var/mobile/Library/Calendars";
// The calendar application's own preferences: which calendars the user hid there.
inline constexpr const char* calendarAppPreferencesPath
    = "/private/var/mobile/Library/Preferences/com.apple.mobilecal.plist";
inline constexpr const char* deselectedCalendarsKey = "LastDeselectedCalendars";

// Where the list finds which calendars to search.
struct CalendarChoice {
    // onlySelectedCalendars NO: the settings pane's calendar list names them;
    // YES: every calendar the calendar application does not hide.
    bool fromCalendarList = false;
    // That file, under the device root.
    std::string file;
    // Whether the file chooses at all: the calendar application's preferences can
    // be read, or the calendar list can be read and names something. Without it
    // the list searches no calendar.
    bool chooses = false;
    // The identifiers the file names: the calendars listed, or those hidden.
    std::set<std::string> named;
};

// The choice of the loaded extension's settings, on the device's files now.
CalendarChoice readCalendarChoice();

enum class CalendarShown {
    Yes,
    // The choice's file is missing, unreadable or empty: nothing is searched.
    NothingChosen,
    DeselectedInCalendarApp,
    NotInCalendarList,
};

struct DeviceCalendar {
    std::string identifier;
    std::string title;
    // Red, green, blue and alpha, 0 to 1.
    std::array<double, 4> color {};
    // Its folder or .ics file, and whether it is one of the device's own.
    std::string path;
    bool onDevice = false;
    // Each event once; only when counted.
    std::optional<std::size_t> events;
    CalendarShown shown = CalendarShown::Yes;
};

// Every calendar the device sees, in the store's order (its own by folder name,
// then the added ones), as the choice shows them. Counting the events reads every
// calendar file not read yet.
std::vector<DeviceCalendar> deviceCalendars(const CalendarChoice& choice, bool countEvents);

// Why a calendar is not shown, as the rest of a sentence: "deselected in the
// calendar application"; empty for one that is.
std::string whyNotShown(const CalendarChoice& choice, CalendarShown shown);

// How the list chooses, as a clause: "the list shows the calendars the calendar
// application shows (onlySelectedCalendars is YES)".
std::string choiceClause(const CalendarChoice& choice);
// Why it chooses none, to follow that clause: ", which is missing or empty".
std::string choosesNothingClause(const CalendarChoice& choice);
