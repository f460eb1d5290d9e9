// The zones of calendar times, one per TZID for the whole process.
//
// Reading each file's own VTIMEZONE makes loading a folder of items many times
// slower than sharing one zone per TZID, and nearly every TZID in the wild is an
// IANA name that the system's zone data already knows; so a TZID is looked up
// once, and the file's VTIMEZONE is read only when the name is not a known zone.
#pragma once

#include "ICal.h"

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace eventkit {

class TimeZoneRegistry {
public:
    static TimeZoneRegistry& shared();

    // The zone a TZID names: an IANA zone (also behind a vendor prefix such as
    // "/mozilla.org/20050126_1/"), else the VTIMEZONE of that TZID in `calendar`,
    // else a Windows zone name; null when nothing matches.
    const icaltimezone* zoneForTZID(const std::string& tzid, icalcomponent* calendar);

    // The device's zone, for floating times and all-day dates; UTC, with one log
    // line, when the host's zone is unknown. Both lookups may be made from
    // several threads.
    const icaltimezone* deviceZone();

    static const icaltimezone* utc() { return icaltimezone_get_utc_timezone(); }

    TimeZoneRegistry(const TimeZoneRegistry&) = delete;
    TimeZoneRegistry& operator=(const TimeZoneRegistry&) = delete;

private:
    TimeZoneRegistry() = default;
    ~TimeZoneRegistry();

    const icaltimezone* systemZone(const std::string& tzid);
    const icaltimezone* zoneFromCalendar(const std::string& tzid, icalcomponent* calendar);

    std::mutex lock_;
    // Null for a TZID that names no system zone (its VTIMEZONE may still come).
    std::unordered_map<std::string, const icaltimezone*> systemZones_;
    std::unordered_map<std::string, icaltimezone*> calendarZones_;
    std::string deviceZoneName_;
    const icaltimezone* deviceZone_ = nullptr;
};

} // namespace eventkit
