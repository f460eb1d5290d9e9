#include "IsoTime.h"

#include <Foundation/NSCalendar.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <regex>

namespace {

using namespace std::chrono;

struct WallTime {
    year_month_day day;
    int hour = 0;
    int minute = 0;
    double second = 0;
};

int number(const std::csub_match& match)
{
    return match.matched ? std::stoi(match.str()) : 0;
}

// The offset the text names, in seconds east of UTC.
struct Offset {
    bool given = false;
    bool valid = true;
    int seconds = 0;
};

Offset parseOffset(const std::csub_match& sign, const std::csub_match& hours, const std::csub_match& minutes,
    const std::csub_match& zulu)
{
    if (zulu.matched)
        return { .given = true };
    if (!sign.matched)
        return {};
    const int h = number(hours), m = number(minutes);
    return {
        .given = true, .valid = h <= 23 && m <= 59, .seconds = (sign.str() == "-" ? -1 : 1) * (h * 3600 + m * 60)
    };
}

Ref<NSDate> wallTimeInZone(const WallTime& wall, const NSTimeZone* zone)
{
    NSCalendar calendar(NSLocale::currentLocale().get(), const_cast<NSTimeZone*>(zone));
    auto components = makeRef<NSDateComponents>();
    components->setYear(static_cast<int>(wall.day.year()));
    components->setMonth(static_cast<unsigned>(wall.day.month()));
    components->setDay(static_cast<unsigned>(wall.day.day()));
    components->setHour(wall.hour);
    components->setMinute(wall.minute);
    const double whole = std::floor(wall.second);
    components->setSecond(static_cast<NSInteger>(whole));
    const Ref<NSDate> date = calendar.dateFromComponents(components.get());
    return date ? date->dateByAddingTimeInterval(wall.second - whole) : nullptr;
}

Ref<NSDate> wallTimeAtOffset(const WallTime& wall, int offset)
{
    const double since1970 = static_cast<double>(sys_days(wall.day).time_since_epoch().count()) * 86400.0
        + wall.hour * 3600 + wall.minute * 60 + wall.second - offset;
    return NSDate::dateWithTimeIntervalSince1970(since1970);
}

} // namespace

Ref<NSDate> parseIsoTime(std::string_view text, const NSTimeZone* zone)
{
    static const std::regex form(R"((\d{4})-(\d{2})-(\d{2}))"
                                 R"((?:[T ](\d{2}):(\d{2})(?::(\d{2}(?:[.,]\d+)?))?)"
                                 R"((?:(Z)|([+-])(\d{2})(?::?(\d{2}))?)?)?)");
    std::cmatch parts;
    if (!std::regex_match(text.begin(), text.end(), parts, form))
        return nullptr;
    WallTime wall;
    wall.day = year_month_day(year(number(parts[1])), month(number(parts[2])), day(number(parts[3])));
    wall.hour = number(parts[4]);
    wall.minute = number(parts[5]);
    if (parts[6].matched) {
        std::string second = parts[6].str();
        std::replace(second.begin(), second.end(), ',', '.');
        wall.second = std::stod(second);
    }
    if (!wall.day.ok() || wall.hour > 23 || wall.minute > 59 || wall.second >= 60)
        return nullptr;
    const Offset offset = parseOffset(parts[8], parts[9], parts[10], parts[7]);
    if (!offset.valid)
        return nullptr;
    return offset.given ? wallTimeAtOffset(wall, offset.seconds) : wallTimeInZone(wall, zone);
}

std::string isoTime(const NSDate* date, const NSTimeZone* zone)
{
    const NSInteger offset = zone->secondsFromGMTForDate(date);
    const auto local
        = sys_seconds(seconds(static_cast<long long>(std::floor(date->timeIntervalSince1970())))) + seconds(offset);
    const sys_days day = floor<days>(local);
    const year_month_day ymd(day);
    const hh_mm_ss time(local - day);
    const int offsetMinutes = static_cast<int>(std::abs(offset) / 60);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d%c%02d:%02d", static_cast<int>(ymd.year()),
        static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()), static_cast<int>(time.hours().count()),
        static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()), offset < 0 ? '-' : '+',
        offsetMinutes / 60, offsetMinutes % 60);
    return text;
}
