#include "PinnedHost.h"

#include <platform/Environment.h>

#include <chrono>

namespace dates_testing {

PinnedHost::PinnedHost(const std::string& locale, const std::string& zone, const NSDate* now)
    : previousLocale_(platform::currentLocaleIdentifier())
    , previousZone_(platform::currentTimeZoneIdentifier())
{
    platform::setCurrentLocaleIdentifier(locale);
    platform::setCurrentTimeZoneIdentifier(zone);
    if (now)
        platform::pinCurrentTime(now->timeIntervalSince1970());
}

PinnedHost::~PinnedHost()
{
    platform::setCurrentLocaleIdentifier(previousLocale_);
    platform::setCurrentTimeZoneIdentifier(previousZone_);
    platform::pinCurrentTime(std::nullopt);
}

Ref<NSDate> utc(int year, unsigned month, unsigned day, int hour, int minute, int second)
{
    using namespace std::chrono;
    const sys_days date { std::chrono::year { year } / std::chrono::month { month } / std::chrono::day { day } };
    const auto seconds
        = date.time_since_epoch() + hours { hour } + minutes { minute } + std::chrono::seconds { second };
    return NSDate::dateWithTimeIntervalSince1970(static_cast<NSTimeInterval>(seconds.count()));
}

} // namespace dates_testing
