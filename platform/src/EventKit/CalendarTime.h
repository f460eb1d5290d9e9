// Absolute instants and wall-clock times, as two types.
//
// An instant is the same moment everywhere; a wall time is what a clock on the
// wall reads, and names an instant only once a zone is chosen (a floating time
// or an all-day date is a wall time until the device's zone is applied). Keeping
// them apart in the types, as std::chrono keeps sys_time and local_time apart,
// means no wall time is ever silently read as UTC.
#pragma once

#include <libical/ical.h>

#include <algorithm>
#include <chrono>
#include <limits>

namespace eventkit {

using Seconds = std::chrono::duration<double>;
// Seconds since 1970 UTC. Fractions are kept: a query's window starts at the
// host's "now", which need not be a whole second.
using Instant = std::chrono::sys_time<Seconds>;
// A reading of a wall clock, to the second, with no zone.
using WallTime = std::chrono::local_seconds;

inline constexpr Seconds oneDay { 86400 };
// What a series that never ends reaches, and where a reach not yet found starts.
inline constexpr Instant endOfTime { Seconds(std::numeric_limits<double>::infinity()) };
inline constexpr Instant startOfTime { Seconds(-std::numeric_limits<double>::infinity()) };

inline Instant instantFromUnixSeconds(double seconds)
{
    return Instant(Seconds(seconds));
}
inline double unixSeconds(Instant instant)
{
    return instant.time_since_epoch().count();
}

// The last second whose zone offset libical works out: it expands a zone's
// changes up to the end of 2037, and asked about any later instant it expands
// them all again, on every call. Later instants take the offset the zone has at
// that second, which is what libical answers for them anyway.
inline constexpr std::chrono::seconds lastZoneCoverage { 2'145'916'799 }; // 2037-12-31 23:59:59 UTC
// The instant a zone's offset is looked up at for `sinceEpoch`.
inline std::chrono::seconds zoneLookupInstant(std::chrono::seconds sinceEpoch)
{
    return std::min(sinceEpoch, lastZoneCoverage);
}

// The wall time a libical value shows (a date at its midnight); its zone is ignored.
WallTime wallTimeOf(const icaltimetype& value);
// The libical value of a wall time, with no zone; `asDate` keeps only its day.
icaltimetype icalTimeOf(WallTime wall, bool asDate = false);

// The instant a wall time names in `zone` (UTC when null). Where the zone's
// clock jumps, RFC 5545's rule holds:
// - a time the clock skips (02:30 in a night when it goes from 02:00 straight
//   to 03:00) is read with the offset in force before the jump, so it names the
//   instant the clock shows as 03:30;
// - a time the clock shows twice (02:30 in a night when it goes back from 03:00
//   to 02:00) is the first of the two, on the offset in force before the change.
Instant resolve(WallTime wall, const icaltimezone* zone);
// What the clock of `zone` shows at an instant, to the second below it.
WallTime wallTimeIn(Instant instant, const icaltimezone* zone);

inline Instant instantOf(const icaltimetype& value, const icaltimezone* zone)
{
    return resolve(wallTimeOf(value), zone);
}
inline icaltimetype icalTimeIn(Instant instant, const icaltimezone* zone)
{
    return icalTimeOf(wallTimeIn(instant, zone));
}

} // namespace eventkit
