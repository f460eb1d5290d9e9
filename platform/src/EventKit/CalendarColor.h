// Calendar colours as calendar files write them.
#pragma once

#include <optional>
#include <string_view>

namespace eventkit {

struct RGBA {
    double red = 0, green = 0, blue = 0, alpha = 1;
    bool operator==(const RGBA&) const = default;
};

// "#RGB", "#RRGGBB", "#RRGGBBAA" (vdirsyncer's `color` file, Apple's
// X-APPLE-CALENDAR-COLOR), the same digits without the '#', or a CSS colour
// name (RFC 7986's COLOR), in any case and with surrounding white space;
// nothing for anything else.
std::optional<RGBA> parseColor(std::string_view text);

// One of the phone's seven default calendar colours, picked by the identifier,
// for a calendar that names no colour of its own.
RGBA defaultCalendarColor(std::string_view identifier);

} // namespace eventkit
