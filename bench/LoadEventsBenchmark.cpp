// The lock screen's load of its event list: `loadEvents` of a table set up to
// show seven days, all events grouped by day, over 1,000, 10,000 and 100,000
// items in four calendars that the calendar application shows.
//
// Cold is the first load in the process (every calendar file read and parsed),
// made again and again by reaching the same device through a new root path each
// time; warm is a repeated load over calendars already read, as each rebuild of
// the list does.
#include "VdirGenerator.h"

#include "listview/DGLEventTable.h"

#include <Foundation/NSDictionary.h>
#include <Foundation/NSPropertyList.h>
#include <platform/Environment.h>
#include <platform/Log.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

constexpr double anchor = 1709632800; // Tuesday 5 March 2024, 10:00 UTC

// One generated device per size, made once and removed at exit.
class Devices {
public:
    ~Devices()
    {
        std::error_code error;
        for (const auto& [items, root] : roots_)
            fs::remove_all(root, error);
    }

    const fs::path& rootFor(int items)
    {
        fs::path& root = roots_[items];
        if (root.empty()) {
            root = fs::temp_directory_path() / ("dayglass-load-bench-" + std::to_string(items));
            fs::remove_all(root);
            bench::VdirShape generated;
            generated.items = items;
            generated.series = items / 10;
            generated.calendars = 4;
            generated.anchor = static_cast<std::int64_t>(anchor);
            const fs::path device = root / "device";
            bench::writeVdir((device / "var/mobile/Library/Calendars").string(), generated);
            // The calendar application hides none of them.
            platform::setDeviceRoot(device.string());
            NSPropertyListSerialization::writePropertyList(NSDictionary::dictionary().get(),
                "/private/var/mobile/Library/Preferences/com.apple.mobilecal.plist", NSPropertyListBinaryFormat_v1_0);
        }
        return root;
    }

private:
    std::map<int, fs::path> roots_;
};

Devices& devices()
{
    static Devices shared;
    return shared;
}

void useDevice(const fs::path& root)
{
    platform::setDeviceRoot(root.string());
    platform::setCurrentTimeZoneIdentifier("Europe/Berlin");
    platform::setCurrentLocaleIdentifier("en_US");
    platform::pinCurrentTime(anchor);
}

Ref<DGLEventTable> weekTable()
{
    auto table = makeRef<DGLEventTable>();
    table->setDaysToDisplay(7);
    table->setMaxEventsToDisplay(0);
    table->setOnlySelectedCalendars(true);
    table->setGroupByDays(true);
    return table;
}

std::size_t eventCount(const NSArray& sections)
{
    std::size_t count = 0;
    for (const Ref<NSObject>& section : sections)
        count += dynamicCast<NSArray>(section.get())->count();
    return count;
}

void BM_LoadEventsCold(benchmark::State& state)
{
    const fs::path& root = devices().rootFor(static_cast<int>(state.range(0)));
    int round = 0;
    std::size_t found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path alias = root / ("cold-" + std::to_string(round++));
        fs::remove(alias);
        fs::create_directory_symlink(root / "device", alias);
        useDevice(alias);
        platform::clearLog();
        const Ref<DGLEventTable> table = weekTable();
        state.ResumeTiming();
        found = eventCount(*table->loadEvents());
    }
    state.counters["events"] = static_cast<double>(found);
}

void BM_LoadEventsWarm(benchmark::State& state)
{
    useDevice(devices().rootFor(static_cast<int>(state.range(0))) / "device");
    const Ref<DGLEventTable> table = weekTable();
    table->loadEvents();
    std::size_t found = 0;
    double now = anchor;
    for (auto _ : state) {
        found = eventCount(*table->loadEvents());
        // The lock screen's "now" moves on between rebuilds; the log is the
        // device's, not the load's, to keep.
        state.PauseTiming();
        now += 1;
        platform::pinCurrentTime(now);
        platform::clearLog();
        state.ResumeTiming();
    }
    state.counters["events"] = static_cast<double>(found);
}

BENCHMARK(BM_LoadEventsCold)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadEventsWarm)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
