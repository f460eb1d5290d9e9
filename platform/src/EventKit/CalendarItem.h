// What the store keeps of a calendar file once it has been read: plain values,
// so that the parsed libical components can be freed at once.
#pragma once

#include "CalendarColor.h"
#include "CalendarTime.h"
#include "ErrorOr.h"
#include "ICal.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace eventkit {

// An item's length: whole days on the wall clock first (they stretch or shrink
// across a daylight-saving change), then exact seconds.
struct ItemDuration {
    int days = 0;
    long seconds = 0;
};

// A date or time as written: a `zone` of null is floating (or a date), read in
// the device's zone at query time.
struct ItemTime {
    icaltimetype wall {};
    const icaltimezone* zone = nullptr;

    bool isDate() const { return wall.is_date != 0; }
    WallTime local() const { return wallTimeOf(wall); }
};

// How long after `from` `to` is: on the wall clock when both float, else in
// real time, a floating one sharing the other's zone.
Seconds distance(const ItemTime& from, const ItemTime& to);

// One VEVENT.
struct ItemRecord {
    std::string uid;
    std::optional<std::string> title;
    std::optional<std::string> location;
    ItemTime start;
    ItemDuration duration;
    bool cancelled = false;
    // Set for an override; `recurrenceIdText` is its form in identifiers.
    std::optional<ItemTime> recurrenceId;
    std::string recurrenceIdText;
    // RANGE=THISANDFUTURE: the override changes every later occurrence too.
    bool thisAndFuture = false;
    // Which revision this is: SEQUENCE, then the later of DTSTAMP and LAST-MODIFIED.
    int sequence = 0;
    Instant revised = startOfTime;

    bool isAllDay() const { return start.isDate(); }
};

// An RDATE; a period brings its own length.
struct RecurrenceDate {
    ItemTime time;
    std::optional<ItemDuration> duration;
};

// The rules of a repeating item.
struct RecurrenceRules {
    std::vector<std::string> rules; // RRULE values, parsed again when expanded
    std::vector<RecurrenceDate> dates;
    std::vector<ItemTime> exceptions; // EXDATE
};

// A stored event: the item, its rules if it repeats, and the overrides that
// move or cancel single occurrences. An override without its series in the
// file stands alone as `master`.
struct Series {
    ItemRecord master;
    std::shared_ptr<const RecurrenceRules> recurrence;
    std::vector<ItemRecord> overrides;
    std::shared_ptr<const std::string> fileName; // for log lines

    bool repeats() const { return recurrence || !overrides.empty(); }
};

// One calendar file.
struct ParsedFile {
    std::string name;
    std::vector<Series> series;
    std::optional<std::string> calendarName; // X-WR-CALNAME
    std::optional<RGBA> calendarColor; // X-APPLE-CALENDAR-COLOR or COLOR
    std::vector<std::string> problems; // log lines about what could not be read
    // Why nothing of the file could be read (NotICalendar, Unpaired), if so.
    std::optional<StoreError> skipped;
};

} // namespace eventkit
