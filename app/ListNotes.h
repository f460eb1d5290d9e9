// The words a user needs when the list shows less than they expect: a calendar
// file given on the command line that the store skips, and why an empty list
// is empty. Each is one line for stderr; the agenda on stdout stays as it is.
#pragma once

#include "ListOptions.h"

#include <string>
#include <vector>

// A note for every file named with --calendars that is no iCalendar file the
// store can read.
std::vector<std::string> skippedCalendarNotes(const ListOptions& options);

// Why a list without events has none, where the cause is not the calendars'
// contents: access denied, or no calendar chosen (the calendar application's
// preferences or the extension's own calendar list missing).
std::vector<std::string> emptyListNotes(const ListOptions& options);
