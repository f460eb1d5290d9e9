// The lock screen's load of its event list: `loadEvents` of a table set up to
// show seven days, all events grouped by day, over 1,000, 10,000 and 100,000
// items in four calendars that the calendar application shows.
//
// Cold is the first load in the process (every calendar file read and parsed),
// made again and again by reaching the same device through a new root path each
// time; warm is a repeated load over calendars already read, as each rebuild of
// the list does.
#include "GeneratedDevices.h"

#include "listview/DGLEventTable.h"

#include <platform/Environment.h>
#include <platform/Log.h>

#include <benchmark/benchmark.h>

namespace {

using bench::anchor;
using bench::useDevice;

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
    std::size_t found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        useDevice(bench::GeneratedDevices::shared().freshPathFor(static_cast<int>(state.range(0))));
        platform::clearLog();
        const Ref<DGLEventTable> table = weekTable();
        state.ResumeTiming();
        found = eventCount(*table->loadEvents());
    }
    state.counters["events"] = static_cast<double>(found);
}

void BM_LoadEventsWarm(benchmark::State& state)
{
    useDevice(bench::GeneratedDevices::shared().folderFor(static_cast<int>(state.range(0))) / "device");
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
