// The words a user needs when the list shows less than they expect: the
// calendar files and folders that the store skips, and why an empty list is
// empty. Each is one line for stderr; the agenda on stdout stays as it is.
#pragma once

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
// contents: access denied, or no calendar chosen (the calendar application's
// preferences or the extension's own calendar list missing).
std::vector<std::string> emptyListNotes(const ListOptions& options);
