// Test helpers for dates: a host locale, zone and clock pinned for one test, and
// instants written as UTC wall times, worked out without the classes under test.
#pragma once

#include <Foundation/NSDate.h>

#include <optional>
#include <string>

namespace dates_testing {

// Makes the locale, zone and (optionally) "now" the host's for the object's
// lifetime, then puts the previous locale and zone back and unpins the clock.
class PinnedHost {
public:
    PinnedHost(const std::string& locale, const std::string& zone, const NSDate* now = nullptr);
    ~PinnedHost();
    PinnedHost(const PinnedHost&) = delete;
    PinnedHost& operator=(const PinnedHost&) = delete;

private:
    std::string previousLocale_;
    std::string previousZone_;
};

// The instant of a UTC wall time.
Ref<NSDate> utc(int year, unsigned month, unsigned day, int hour = 0, int minute = 0, int second = 0);

} // namespace dates_testing
