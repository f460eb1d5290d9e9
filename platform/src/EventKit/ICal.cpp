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
