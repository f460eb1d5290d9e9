// A glance at an item file without parsing it.
//
// Most files of a large calendar hold one plain event far from today; parsing
// them all is most of a first load. A file that is plainly one event, not
// repeating, with readable start and end dates, is only glanced at: its days
// bound it, and it is parsed when a query first reaches those days.
#pragma once

#include "CalendarTime.h"

#include <optional>
#include <string>
#include <string_view>

namespace eventkit {

// Instants that bound whatever the item can cover, in any time zone, and the
// item's UID, which tells whether another file holds a revision of it.
struct ItemBounds {
    Instant from;
    Instant to;
    std::string uid;
};

// The bounds of a file holding exactly one VEVENT with a plain UID and a DTSTART
// (and perhaps a DTEND) of plain date or date-time values, and nothing that repeats, moves
// an occurrence or names the calendar; nothing for any other file, which is
// then parsed at once.
std::optional<ItemBounds> plainItemBounds(std::string_view bytes);

} // namespace eventkit
