// The calendar store under the lock screen's load: a new store and one query
// for the next seven days, over 1,000, 10,000 and 100,000 items.
//
// Cold is the first load in the process (every file read and parsed), made
// again and again by reaching the same calendars through a new device-root
// path each time; warm is a store made again over calendars already read, as
// each rebuild of the list does; "new span" is warm with "now" moved on so far
// (eight days) that the store expands its repeating items afresh, the cost of
// the first rebuild once the time kept expanded has run out.
#include "GeneratedDevices.h"

#include <EventKit/EventKit.h>
#include <platform/Environment.h>
#include <platform/Log.h>

#include <benchmark/benchmark.h>

namespace {

using bench::anchor;
using bench::useDevice;

constexpr double week = 7 * 86400;

std::size_t loadWeek(double now)
{
    EKEventStore store;
    auto predicate = store.predicateForEventsWithStartDate(NSDate::dateWithTimeIntervalSince1970(now).get(),
        NSDate::dateWithTimeIntervalSince1970(now + week).get(), nullptr);
    return store.eventsMatchingPredicate(predicate.get())->count();
}

void BM_StoreCold(benchmark::State& state)
{
    std::size_t found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        useDevice(bench::GeneratedDevices::shared().freshPathFor(static_cast<int>(state.range(0))));
        platform::clearLog();
        state.ResumeTiming();
        found = loadWeek(anchor);
    }
    state.counters["events"] = static_cast<double>(found);
}

void BM_StoreWarm(benchmark::State& state)
{
    useDevice(bench::GeneratedDevices::shared().folderFor(static_cast<int>(state.range(0))) / "device");
    loadWeek(anchor);
    std::size_t found = 0;
    double now = anchor;
    for (auto _ : state) {
        found = loadWeek(now);
        now += 1; // the lock screen's "now" moves on between rebuilds
    }
    state.counters["events"] = static_cast<double>(found);
}

void BM_StoreWarmNewSpan(benchmark::State& state)
{
    useDevice(bench::GeneratedDevices::shared().folderFor(static_cast<int>(state.range(0))) / "device");
    loadWeek(anchor);
    std::size_t found = 0;
    double now = anchor;
    for (auto _ : state) {
        now += 8 * 86400;
        found = loadWeek(now);
    }
    state.counters["events"] = static_cast<double>(found);
}

BENCHMARK(BM_StoreCold)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StoreWarm)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreWarmNewSpan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
