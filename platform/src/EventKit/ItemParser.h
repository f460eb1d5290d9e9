// Reads calendar files into the store's plain records.
#pragma once

#include "CalendarItem.h"

#include <string>
#include <string_view>

namespace eventkit {

struct ParseLimits {
    // An item or time zone with more content lines and date-list values than
    // this (a series with a million EXDATEs, deep nesting) is skipped with one
    // line, and so is a file whose BEGIN and END lines do not pair up and that
    // has more lines than this: libical would build a node for each.
    std::size_t maxValuesPerItem = 10'000;
};

// Reads the text of one .ics file (one or more VCALENDARs), in UTF-8 with or
// without a byte order mark, or UTF-16 with one. An item that cannot be read
// is left out with one line in `problems` naming `path`; a file of which
// nothing can be read says why in `skipped` too. Times in an unknown time zone
// float, with one line per file; floating times of a calendar that names its
// zone with X-WR-TIMEZONE are read in that zone. A rule libical refuses whole
// keeps what can be read of it, with one line. `path` also stands in for a
// missing UID (its file name without extension, then "-2", …). Safe to call on
// several threads at once.
ParsedFile parseCalendarFile(std::string_view text, const std::string& path, ParseLimits limits = {});

} // namespace eventkit
