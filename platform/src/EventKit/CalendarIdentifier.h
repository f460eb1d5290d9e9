// Stable calendar identifiers (how they are derived is described in EKCalendar.h).
#pragma once

#include <string>
#include <string_view>

namespace eventkit {

// The upper-case RFC 4122 version-5 UUID of `name` in the URL namespace.
std::string nameBasedIdentifier(std::string_view name);

// The names behind the identifiers: a calendar folder of the device, and a
// folder or file the host adds (an absolute path).
std::string deviceCalendarName(std::string_view folderName);
std::string hostCalendarName(std::string_view absolutePath);

} // namespace eventkit
