// What the host sets for the whole platform: the device root under which every
// device path resolves, the clock, the time zone and the locale. The real ones
// are the defaults; the `dayglass` options and the tests pin them here, in one place.
#pragma once

#include <platform/Export.h>

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The folder that stands for the phone's file system.
PLATFORM_EXPORT void setDeviceRoot(std::string root);
PLATFORM_EXPORT const std::string& deviceRoot();

// Maps an absolute device path ("/var/mobile/…", "/private/var/mobile/…") to the
// file under the device root. In a root, "var" may be a link to "private/var" as on
// the phone; a root that has only one of the two serves both spellings.
PLATFORM_EXPORT std::string resolveDevicePath(std::string_view devicePath);

// Seconds since 1970-01-01 00:00:00 UTC: the pinned instant, else the system clock.
// A pinned clock is the simulated one: it stands still until the host moves it,
// by pinning it again or with CFRunLoopAdvanceClock, which fires the main run
// loop's timers on the way. Safe to read from any thread.
PLATFORM_EXPORT double currentUnixTime();
PLATFORM_EXPORT void pinCurrentTime(std::optional<double> unixTime);
PLATFORM_EXPORT bool isCurrentTimePinned();

// ICU identifiers such as "en_US" and "Europe/Berlin".
PLATFORM_EXPORT const std::string& currentLocaleIdentifier();
PLATFORM_EXPORT void setCurrentLocaleIdentifier(std::string identifier);
PLATFORM_EXPORT const std::string& currentTimeZoneIdentifier();
PLATFORM_EXPORT void setCurrentTimeZoneIdentifier(std::string identifier);

// Counts changes of the locale or the time zone, so that caches built for
// the previous ones know to rebuild.
PLATFORM_EXPORT unsigned environmentGeneration();

} // namespace platform
