// What the list pays for its date texts: one row's text, and grouping a month of
// events into days with their header titles and calendar pages.
#include "events/DGLEKEVent.h"
#include "listview/DGLEventTable.h"

#include <platform/Environment.h>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// Thursday 5 March 2026, 09:00 UTC.
constexpr double now = 1772701200.0;
constexpr double hour = 3600.0;

void pinHost()
{
    platform::setCurrentLocaleIdentifier("en_US");
    platform::setCurrentTimeZoneIdentifier("Europe/Berlin");
    platform::pinCurrentTime(now);
}

// Starts that cover every rule of the row text: today, tomorrow, yesterday,
// this week, beyond a week.
std::vector<Ref<NSDate>> rowStarts()
{
    std::vector<Ref<NSDate>> starts;
    for (int day = -3; day <= 12; ++day)
        starts.push_back(NSDate::dateWithTimeIntervalSince1970(now + day * 24 * hour + 5 * hour));
    return starts;
}

void BM_CreatePrettyDate(benchmark::State& state)
{
    pinHost();
    const std::vector<Ref<NSDate>> starts = rowStarts();
    std::size_t next = 0;
    for (auto _ : state) {
        const NSDate* start = starts[next++ % starts.size()].get();
        benchmark::DoNotOptimize(DGLEventTable::createPrettyDateFrom(start, next % 5 == 0));
    }
}
BENCHMARK(BM_CreatePrettyDate);

// 1,000 events spread evenly over 30 days, sorted by start.
Ref<NSMutableArray> monthOfEvents()
{
    constexpr int count = 1000;
    auto events = NSMutableArray::array();
    for (int i = 0; i < count; ++i) {
        auto event = makeRef<DGLEKEVent>();
        event->setStartDate(NSDate::dateWithTimeIntervalSince1970(now + i * (30 * 24 * hour / count)).get());
        event->setEndDate(event->startDate()->dateByAddingTimeInterval(hour).get());
        events->addObject(event.get());
    }
    return events;
}

void BM_GroupByDays(benchmark::State& state)
{
    pinHost();
    const Ref<NSMutableArray> events = monthOfEvents();
    auto table = makeRef<DGLEventTable>();
    table->setGroupByDays(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(table->groupByDays(events.get()));
}
BENCHMARK(BM_GroupByDays)->Unit(benchmark::kMillisecond);

} // namespace
