// What the lock screen pays for its event list: building a table of 50 and of
// 1,000 events from the calendar files, from the suggested frame to the first
// layout pass, with the files already read by the process and not yet read; and
// one row scrolling into view, configured, laid out and drawn.
#include "tweak/EventTablePlacement.h"
#include "tweak/TweakSettings.h"

#include <UIKit/UIGraphics.h>
#include <platform/Environment.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

// Thursday 5 March 2026, 09:00 UTC; the events run from the next day on.
constexpr double now = 1772701200.0;
constexpr CGRect suggestedFrame { { 0, 150 }, { 375, 450 } };

// A floating iCalendar time, `minutes` after 00:00 on 6 March 2026.
std::string icalTime(int minutes)
{
    const int day = 6 + minutes / (24 * 60), hour = minutes / 60 % 24, minute = minutes % 60;
    char text[32];
    std::snprintf(text, sizeof text, "202603%02dT%02d%02d00", day, hour, minute);
    return text;
}

void writeFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A device root of its own per size (the calendar store keeps what it parsed per
// file), with `count` events over as many days as they need, every third with a
// location, and settings that show them all grouped by day with dots.
class BenchDevice {
public:
    explicit BenchDevice(int count)
    {
        std::string pattern = (fs::temp_directory_path() / "dayglass-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary device root");
        root_ = pattern;
        const fs::path mobile = root_ / "var/mobile/Library";
        constexpr int spacing = 90;
        const int days = count * spacing / (24 * 60) + 2;
        writeFile(mobile / "Preferences/com.quarnel.dayglass2.plist",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
            "<key>displayLocation</key><true/>"
            "<key>iconType</key><string>DOT</string><key>daysToDisplay</key><integer>"
                + std::to_string(days) + "</integer><key>maxEventsToDisplay</key><integer>" + std::to_string(count)
                + "</integer></dict></plist>\n");
        // The calendar application hides none of the calendars.
        writeFile(mobile / "Preferences/com.apple.mobilecal.plist",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict/></plist>\n");
        writeFile(mobile / "Calendars/bench/color", "#1E88E5\n");
        for (int i = 0; i < count; ++i)
            writeFile(mobile / "Calendars/bench" / (std::to_string(i) + ".ics"),
                "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Dayglass bench//EN\r\nBEGIN:VEVENT\r\nUID:bench-"
                    + std::to_string(i) + "\r\nDTSTART:" + icalTime(i * spacing)
                    + "\r\nDTEND:" + icalTime(i * spacing + 45) + "\r\nSUMMARY:Event number " + std::to_string(i)
                    + (i % 3 ? "" : "\r\nLOCATION:Room " + std::to_string(i)) + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    }
    ~BenchDevice()
    {
        std::error_code error;
        fs::remove_all(root_, error);
    }
    BenchDevice(const BenchDevice&) = delete;
    BenchDevice& operator=(const BenchDevice&) = delete;

    // Makes this the device the extension runs on, with its settings loaded.
    void use() const
    {
        platform::setCurrentLocaleIdentifier("en_US");
        platform::setCurrentTimeZoneIdentifier("Europe/Berlin");
        platform::pinCurrentTime(now);
        platform::setDeviceRoot(root_.string());
        loadPreferences();
    }

private:
    fs::path root_;
};

const BenchDevice& deviceOf(int count)
{
    static std::map<int, std::unique_ptr<BenchDevice>> devices;
    auto& device = devices[count];
    if (!device)
        device = std::make_unique<BenchDevice>(count);
    return *device;
}

void BM_BuildEventTable(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    deviceOf(count).use();
    NSInteger sections = 0;
    for (auto _ : state) {
        AutoreleasePool pool;
        Ref<DGLEventTable> table = createEventTable(suggestedFrame);
        table->layoutIfNeeded();
        sections = table->tableView()->numberOfSections();
        benchmark::DoNotOptimize(table.get());
    }
    state.counters["sections"] = static_cast<double>(sections);
}
BENCHMARK(BM_BuildEventTable)->Arg(50)->Arg(1000)->Unit(benchmark::kMillisecond);

// The same on a device whose files the process has not read yet, as at the
// first build after SpringBoard starts or after the calendars changed.
void BM_BuildEventTableFromUnreadFiles(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto device = std::make_unique<BenchDevice>(count);
        device->use();
        state.ResumeTiming();
        {
            AutoreleasePool pool;
            Ref<DGLEventTable> table = createEventTable(suggestedFrame);
            table->layoutIfNeeded();
            benchmark::DoNotOptimize(table.get());
        }
        state.PauseTiming();
        device.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BuildEventTableFromUnreadFiles)->Arg(50)->Arg(1000)->Iterations(20)->Unit(benchmark::kMillisecond);

// The list scrolls by one row per step, so that exactly one row comes into
// view: its reused cell is configured and laid out, then drawn at scale 2.
void BM_CellScrollsIntoView(benchmark::State& state)
{
    deviceOf(1000).use();
    Ref<DGLEventTable> table = createEventTable(suggestedFrame);
    UITableView* inner = table->tableView();
    inner->setScrollEnabled(true);
    table->layoutIfNeeded();
    const CGFloat step = inner->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0).get()).size.height;
    const CGFloat end = inner->contentSize().height - inner->bounds().size.height;
    if (inner->visibleCells().empty() || end <= 0) {
        state.SkipWithError("the table shows no rows to scroll");
        return;
    }
    UIGraphicsImageContextScope canvas(CGSizeMake(inner->bounds().size.width, 60), NO, 2);
    for (auto _ : state) {
        AutoreleasePool pool;
        const CGFloat offset = inner->contentOffset().y + step;
        inner->setContentOffset(CGPointMake(0, offset > end ? 0 : offset));
        table->layoutIfNeeded();
        if (const std::vector<UITableViewCell*> cells = inner->visibleCells(); !cells.empty())
            cells.back()->drawViewHierarchyInRect(cells.back()->bounds());
    }
}
BENCHMARK(BM_CellScrollsIntoView)->Unit(benchmark::kMicrosecond);

} // namespace
