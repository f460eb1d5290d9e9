// Writes calendar folders in the layout vdirsyncer and khal keep (a folder per
// calendar with `displayname`, `color` and one .ics file per item), filled with
// a realistic mix of items around a given day, for benchmarks and for timing
// other calendar programs on the same data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct VdirShape {
    int items = 1000; // .ics files in all
    int series = 100; // of which repeating
    int calendars = 3; // folders the items are dealt into
    std::int64_t anchor = 0; // the items surround this instant (seconds since 1970)
    int spreadDays = 365; // single items lie this many days either side of it
    unsigned seed = 1;
};

// Writes the calendars "calendar-1" … "calendar-C" into `folder` and answers
// their paths. The same shape always writes the same files.
std::vector<std::string> writeVdir(const std::string& folder, const VdirShape& shape);

} // namespace bench
