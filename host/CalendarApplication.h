// The calendar application ("com.apple.mobilecal"), as far as SpringBoard needs
// it: what it shows when it opens with a URL.
//
// It reads "x-apple-calevent://IDENTIFIER?o=SECONDS" back to a stored event of
// the device's calendar store and its occurrence: IDENTIFIER is the stored
// event's identifier with every ":" written "/" and any "/RID…" suffix left out,
// SECONDS the occurrence's start in seconds since 1 January 2001 UTC, with one
// decimal. It shows the event's title and the occurrence's start in the device's
// zone and locale ("Team sync, Tue 8 Dec 2026 at 14:00 Europe/Berlin"). Opened
// without a URL, with another one, or with a link to no known occurrence, it
// shows today's date ("Today, Tue 8 Dec 2026").
#pragma once

#include <Foundation/NSURL.h>
#include <host/Export.h>

#include <string>

namespace host {

inline constexpr const char* calendarApplicationIdentifier = "com.apple.mobilecal";

// Reads the store on the calling thread, the main one.
HOST_EXPORT std::string calendarApplicationShows(const NSURL* url);

} // namespace host
