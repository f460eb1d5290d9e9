// The text of a calendar file cut into its VCALENDARs' pieces, so that each
// event is parsed on its own and a large file never becomes one tree.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace eventkit {

struct EventText {
    std::string_view text; // BEGIN to END, within the file's text
    // Its content lines and the values of its date lists (EXDATE, RDATE): each
    // becomes one node of libical's tree.
    std::size_t values = 0;
};

struct CalendarText {
    // A VCALENDAR with its own properties and time zones, without its events.
    std::string frame;
    std::vector<EventText> events;
    // Time zones, and the calendar's own lines, beyond the limit and left out
    // of the frame.
    std::size_t leftOut = 0;
};

// The VCALENDARs of `text`, in order; nothing when its BEGIN and END lines do
// not pair up. A VTIMEZONE of more than `maxValues` lines is left out, and so
// are the calendar's own lines past that many.
std::optional<std::vector<CalendarText>> splitCalendars(std::string_view text, std::size_t maxValues);

} // namespace eventkit
