// Instants given as wall-clock times of a named zone, the way the tests think
// of event times ("14:05 on the Sunday of the spring change in Berlin").
#pragma once

#include <Foundation/NSDate.h>

#include <string>

namespace events_testing {

struct LocalDay {
    int year;
    int month;
    int day;
};

// The instant of the wall time in the zone. A time that the zone skips is not
// asked for.
Ref<NSDate> localTime(const std::string& zone, LocalDay day, int hour = 0, int minute = 0);

} // namespace events_testing
