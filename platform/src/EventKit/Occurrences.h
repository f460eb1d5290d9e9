// Occurrences of stored items over a span of time.
#pragma once

#include "CalendarItem.h"

#include <optional>
#include <string>
#include <vector>

namespace eventkit {

// One occurrence as a query answers it: values only, so that it outlives the
// files it was read from.
struct Occurrence {
    Instant start;
    Instant end; // exclusive; an all-day item ends at midnight after its last day
    Instant originalStart; // where the series put it, before an override moved it
    std::string uid;
    std::string recurrenceId; // in identifiers' form; empty unless an override detached it
    std::optional<std::string> title;
    std::optional<std::string> location;
    bool allDay = false;
    // A floating time or a date: `start` and `originalStart` were read in a
    // zone, and `length` gives the end again in another.
    bool floating = false;
    ItemDuration length;

    bool isDetached() const { return !recurrenceId.empty(); }
};

// Whether an occurrence lies in the window [start, end): it starts inside, or it
// started before and is still running. An occurrence of no length counts at the
// window's start.
inline bool overlaps(Instant start, Instant end, Instant windowStart, Instant windowEnd)
{
    return start < windowEnd && (end > windowStart || start >= windowStart);
}

// The zone an item's time is read in.
inline const icaltimezone* zoneOf(const ItemTime& time, const icaltimezone* floatingZone)
{
    return time.zone ? time.zone : floatingZone;
}

// The end of an occurrence that starts at `start` and lasts `duration`, whose
// whole days count on the wall clock of `zone`.
Instant occurrenceEnd(Instant start, const ItemDuration& duration, const icaltimezone* zone);

// The one occurrence of an item that does not repeat; none when it is cancelled.
std::optional<Occurrence> singleOccurrence(const Series& series, const icaltimezone* floatingZone);

// How far a series reaches in time: the earliest start of its occurrences and
// the latest end, which is infinite while the series has no end (or an
// expansion could not see it). Nothing outside that can ever match.
struct SeriesReach {
    Instant earliest = endOfTime;
    Instant latest = startOfTime;
    bool stoppedAtBound = false; // a rule was followed no further than the bound allows
};

// Appends the occurrences of a repeating series that overlap [spanStart,
// spanEnd): its rules, RDATEs and DTSTART, less EXDATEs and the occurrences its
// overrides replace, plus the overrides that are not cancelled. The expansion of
// each rule stops at the bound stated in EKEventStore.h, with one log line.
// Answers the series' reach.
SeriesReach expandSeries(const Series& series, Instant spanStart, Instant spanEnd, const icaltimezone* floatingZone,
    std::vector<Occurrence>& out);

} // namespace eventkit
