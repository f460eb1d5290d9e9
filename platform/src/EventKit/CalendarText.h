// The text of a calendar file cut into its VCALENDARs' pieces, so that each
// event is parsed on its own and a large file never becomes one tree.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace eventkit {

struct CalendarText {
    // A VCALENDAR with its own properties and time zones, without its events.
    std::string frame;
    // Each VEVENT's text, BEGIN to END, within the file's text.
    std::vector<std::string_view> events;
};

// The VCALENDARs of `text`, in order; nothing when its BEGIN and END lines do
// not pair up (the whole text is then best left to libical).
std::optional<std::vector<CalendarText>> splitCalendars(std::string_view text);

} // namespace eventkit
