// The words a user needs when the list shows less than they expect: the
// calendar files and folders that the store skips, why an empty list is empty,
// and why the list searches none of the calendars, with the command that
// changes that. Each is one line for stderr; the agenda on stdout stays as it is.
#pragma once

#include "Command.h"
#include "ListOptions.h"

#include <string>
#include <vector>

// A note for every item file or calendar folder that the device's calendars
// leave out, and why; past the first few in one folder, one line counts the
// rest. Ask once the calendars have been read (after the list is built).
std::vector<std::string> skippedCalendarNotes();

// Prints "dayglass: note: NOTE" on stderr.
void printNote(const std::string& note);
void printNotes(const std::vector<std::string>& notes);

// Why a list without events has none, where the cause is not the calendars'
// contents: access denied.
std::vector<std::string> emptyListNotes(const ListOptions& options);

// Why the list searches no calendar, or none of those --calendars added (the
// calendar application's preferences or the calendar list missing, every
// calendar hidden or left out), and which command changes it. Ask once the
// device has booted.
std::vector<std::string> calendarChoiceNotes(const CommonOptions& common, const ListOptions& options);

// A command line to suggest, quoted for a shell: `dayglass WORDS`, followed by
// the calendars and the device root the user gave (the root only when it is not
// the sample device).
std::string suggestedCommand(
    const std::string& words, const CommonOptions& common, const std::vector<std::string>& calendars = {});
