// One calendar's items, each once.
//
// A calendar may hold several versions of one event: an export of an edited
// series, a server that sends both, two files of a vdir after an interrupted
// sync. RFC 5545 names an instance by its UID and RECURRENCE-ID and counts
// revisions with SEQUENCE; of each UID and RECURRENCE-ID the calendar keeps the
// revision with the highest SEQUENCE, then the latest DTSTAMP or LAST-MODIFIED,
// then the first found.
#pragma once

#include "CalendarItem.h"

#include <vector>

namespace eventkit {

// Whether a series needs merging with others of its UID, or holds an override twice.
bool holdsRevisions(const std::vector<const Series*>& sameUid);

// The series of one UID, from every file of a calendar, merged: the latest
// revision of the series (if any file has it) with the latest revision of each
// override; overrides with no series stand alone.
std::vector<Series> latestRevisions(const std::vector<const Series*>& sameUid);

} // namespace eventkit
