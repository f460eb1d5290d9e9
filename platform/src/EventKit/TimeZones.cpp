#include "TimeZones.h"

#include <Foundation/NSLog.h>
#include <platform/Environment.h>

#include <unicode/ucal.h>
#include <unicode/ustring.h>

namespace eventkit {
namespace {

const icaltimezone* builtinZone(const std::string& location)
{
    return icaltimezone_get_builtin_timezone(location.c_str());
}

// Vendors prefix IANA names with their own path; try each tail after a '/'.
const icaltimezone* builtinZoneBehindPrefix(const std::string& tzid)
{
    for (auto slash = tzid.find('/'); slash != std::string::npos; slash = tzid.find('/', slash + 1)) {
        const std::string tail = tzid.substr(slash + 1);
        if (tail.find('/') == std::string::npos)
            break;
        if (const icaltimezone* zone = builtinZone(tail))
            return zone;
    }
    return nullptr;
}

// Outlook writes Windows zone names such as "W. Europe Standard Time".
const icaltimezone* builtinZoneForWindowsName(const std::string& tzid)
{
    UChar windowsName[128];
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(windowsName, 128, &length, tzid.c_str(), static_cast<int32_t>(tzid.size()), &status);
    if (U_FAILURE(status))
        return nullptr;
    UChar ianaName[128];
    const int32_t ianaLength = ucal_getTimeZoneIDForWindowsID(windowsName, length, nullptr, ianaName, 128, &status);
    if (U_FAILURE(status) || ianaLength == 0)
        return nullptr;
    char utf8[256];
    u_strToUTF8(utf8, sizeof utf8, nullptr, ianaName, ianaLength, &status);
    return U_FAILURE(status) ? nullptr : builtinZone(utf8);
}

} // namespace

TimeZoneRegistry& TimeZoneRegistry::shared()
{
    static TimeZoneRegistry registry;
    return registry;
}

TimeZoneRegistry::~TimeZoneRegistry()
{
    for (auto& [tzid, zone] : calendarZones_)
        icaltimezone_free(zone, 1);
}

const icaltimezone* TimeZoneRegistry::zoneForTZID(const std::string& tzid, icalcomponent* calendar)
{
    std::lock_guard guard(lock_);
    if (const icaltimezone* zone = systemZone(tzid))
        return zone;
    return zoneFromCalendar(tzid, calendar);
}

const icaltimezone* TimeZoneRegistry::systemZone(const std::string& tzid)
{
    auto found = systemZones_.find(tzid);
    if (found != systemZones_.end())
        return found->second;
    const icaltimezone* zone = builtinZone(tzid);
    if (!zone)
        zone = builtinZoneBehindPrefix(tzid);
    if (!zone)
        zone = builtinZoneForWindowsName(tzid);
    // libical reads a built-in zone's definition on first use and then replaces
    // the zone's location text, which another thread may be comparing during a
    // lookup. Reading it here, under the lock, means no later use does that.
    if (zone)
        icaltimezone_get_component(const_cast<icaltimezone*>(zone));
    systemZones_.emplace(tzid, zone);
    return zone;
}

const icaltimezone* TimeZoneRegistry::zoneFromCalendar(const std::string& tzid, icalcomponent* calendar)
{
    if (auto found = calendarZones_.find(tzid); found != calendarZones_.end())
        return found->second;
    if (!calendar)
        return nullptr;
    for (icalcomponent* definition : childComponents(calendar, ICAL_VTIMEZONE_COMPONENT)) {
        icalproperty* property = icalcomponent_get_first_property(definition, ICAL_TZID_PROPERTY);
        const char* name = property ? icalproperty_get_tzid(property) : nullptr;
        if (!name || tzid != name)
            continue;
        icaltimezone* zone = icaltimezone_new();
        if (!icaltimezone_set_component(zone, icalcomponent_new_clone(definition))) {
            icaltimezone_free(zone, 1);
            return nullptr;
        }
        calendarZones_.emplace(tzid, zone);
        return zone;
    }
    return nullptr;
}

const icaltimezone* TimeZoneRegistry::deviceZone()
{
    std::lock_guard guard(lock_);
    const std::string& name = platform::currentTimeZoneIdentifier();
    if (deviceZone_ && name == deviceZoneName_)
        return deviceZone_;
    deviceZoneName_ = name;
    deviceZone_ = systemZone(name);
    if (!deviceZone_) {
        NSLog("EventKit: unknown device time zone \"%s\", reading floating times as UTC", name.c_str());
        deviceZone_ = utc();
    }
    return deviceZone_;
}

} // namespace eventkit
