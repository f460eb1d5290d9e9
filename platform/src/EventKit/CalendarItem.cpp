#include "CalendarItem.h"

namespace eventkit {

Seconds distance(const ItemTime& from, const ItemTime& to)
{
    if (!from.zone && !to.zone)
        return to.local() - from.local();
    const icaltimezone* fromZone = from.zone ? from.zone : to.zone;
    const icaltimezone* toZone = to.zone ? to.zone : from.zone;
    return instantOf(to.wall, toZone) - instantOf(from.wall, fromZone);
}

} // namespace eventkit
