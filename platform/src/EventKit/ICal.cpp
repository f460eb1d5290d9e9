#include "ICal.h"

namespace eventkit {

std::vector<icalcomponent*> childComponents(icalcomponent* parent, icalcomponent_kind kind)
{
    std::vector<icalcomponent*> children;
    for (icalcompiter cursor = icalcomponent_begin_component(parent, kind); icalcompiter_deref(&cursor);
         icalcompiter_next(&cursor))
        children.push_back(icalcompiter_deref(&cursor));
    return children;
}

Instant instantOf(const icaltimetype& wall, const icaltimezone* zone)
{
    icaltimetype time = wall;
    time.zone = nullptr;
    time.is_date = 0;
    if (wall.is_date)
        time.hour = time.minute = time.second = 0;
    return static_cast<Instant>(icaltime_as_timet_with_zone(time, zone));
}

icaltimetype wallTimeOf(Instant instant, const icaltimezone* zone)
{
    icaltimetype time = icaltime_from_timet_with_zone(static_cast<time_t>(instant), 0, zone);
    time.zone = nullptr;
    return time;
}

icaltimetype addDays(icaltimetype wall, int days)
{
    icaltime_adjust(&wall, days, 0, 0, 0);
    return wall;
}

std::string icalText(const icaltimetype& time)
{
    char buffer[32];
    if (time.is_date)
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", time.year, time.month, time.day);
    else
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02dT%02d%02d%02d%s", time.year, time.month, time.day, time.hour,
            time.minute, time.second, time.zone == icaltimezone_get_utc_timezone() ? "Z" : "");
    return buffer;
}

} // namespace eventkit
