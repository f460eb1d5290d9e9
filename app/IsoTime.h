// Instants written in ISO 8601, as the command line takes and prints them.
#pragma once

#include <Foundation/NSDate.h>
#include <Foundation/NSTimeZone.h>

#include <string>
#include <string_view>

// Reads "2024-03-05", "2024-03-05T09:30", "2024-03-05 09:30:15.5" or any of them
// with a time and an offset ("…T09:30Z", "…T09:30+01:00", "…T09:30+0100",
// "…T09:30+01"). A date alone is its midnight. Without an offset the time is a
// wall-clock time in `zone`. Nil for text of another form or out of range
// (2024-02-30, 24:00).
Ref<NSDate> parseIsoTime(std::string_view text, const NSTimeZone* zone);

// "2024-03-05T09:30:00+01:00": the wall-clock time in `zone` with its offset,
// to the second.
std::string isoTime(const NSDate* date, const NSTimeZone* zone);
