#include "CalendarTime.h"

namespace eventkit {
namespace {

using std::chrono::seconds;

// No zone's offset changes twice within this of a wall time.
constexpr seconds transitionReach { 86400 };

// The offset from UTC that `zone` has at an instant given in whole seconds.
seconds offsetAt(seconds sinceEpoch, const icaltimezone* zone)
{
    icaltimetype utcTime = icalTimeOf(WallTime(zoneLookupInstant(sinceEpoch)));
    int daylight = 0;
    return seconds(icaltimezone_get_utc_offset_of_utc_time(const_cast<icaltimezone*>(zone), &utcTime, &daylight));
}

} // namespace

WallTime wallTimeOf(const icaltimetype& value)
{
    using namespace std::chrono;
    const local_days day { year { value.year } / month { static_cast<unsigned>(value.month) }
        / std::chrono::day { static_cast<unsigned>(value.day) } };
    if (value.is_date)
        return day;
    return day + hours { value.hour } + minutes { value.minute } + seconds { value.second };
}

icaltimetype icalTimeOf(WallTime wall, bool asDate)
{
    using namespace std::chrono;
    const local_days day = floor<days>(wall);
    const year_month_day date { day };
    const hh_mm_ss time { wall - day };
    icaltimetype value = icaltime_null_time();
    value.year = static_cast<int>(date.year());
    value.month = static_cast<int>(static_cast<unsigned>(date.month()));
    value.day = static_cast<int>(static_cast<unsigned>(date.day()));
    value.is_date = asDate;
    if (!asDate) {
        value.hour = static_cast<int>(time.hours().count());
        value.minute = static_cast<int>(time.minutes().count());
        value.second = static_cast<int>(time.seconds().count());
    }
    return value;
}

Instant resolve(WallTime wall, const icaltimezone* zone)
{
    const seconds local = wall.time_since_epoch();
    if (!zone || zone == icaltimezone_get_utc_timezone())
        return Instant(local);
    const seconds before = offsetAt(local - transitionReach, zone);
    const seconds after = offsetAt(local + transitionReach, zone);
    if (before == after)
        return Instant(local - before);
    const bool onEarlierOffset = offsetAt(local - before, zone) == before;
    const bool onLaterOffset = offsetAt(local - after, zone) == after;
    if (onEarlierOffset && onLaterOffset)
        return Instant(std::min(local - before, local - after));
    if (onLaterOffset)
        return Instant(local - after);
    // On the earlier offset, or skipped: read with the offset before the jump.
    return Instant(local - before);
}

WallTime wallTimeIn(Instant instant, const icaltimezone* zone)
{
    const seconds whole = std::chrono::floor<seconds>(instant.time_since_epoch());
    if (!zone || zone == icaltimezone_get_utc_timezone())
        return WallTime(whole);
    return WallTime(whole + offsetAt(whole, zone));
}

} // namespace eventkit
