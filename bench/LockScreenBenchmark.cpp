// What the user waits for on the sample device: from the screen waking with no
// notification to the event list on its own page, laid out and drawn (its settings
// copied, its events loaded and grouped, the whole lock screen's first frame drawn
// at 2x); and from a notification arriving to the list laid out in the footer under
// it and drawn. On generated devices of 100, 10,000 and 100,000 items showing a
// week: from the wake to the list laid out on its own page (the first layout, not
// drawn), with the calendars already read by an earlier wake. A frame at 60 Hz is
// 16.7 ms.
#include "GeneratedDevices.h"

#include <host/Device.h>
#include <host/LockScreenScene.h>

#include <CoreFoundation/CFNotificationCenter.h>
#include <CoreFoundation/CFRunLoop.h>
#include <Foundation/NSArray.h>
#include <UIKit/UIScreen.h>
#include <objc/runtime.h>
#include <platform/Environment.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <optional>

namespace {

// Thursday 5 March 2026, 09:41 in Berlin: a weekday, so the sample's stand-up shows.
constexpr double now = 1772700060.0;
constexpr CGFloat scale = 2;

host::SpringBoard& sampleSpringBoard()
{
    static std::optional<host::Device> device;
    if (!device) {
        UIScreen::mainScreen()->setScale(scale);
        const std::string root = DAYGLASS_SAMPLE_DEVICE;
        device.emplace(
            host::Device::boot({ .root = root, .now = now, .timeZone = "Europe/Berlin", .locale = "en_US" }));
    }
    return device->springBoard();
}

// Tells the loaded extension that its preference file changed, as the settings
// pane does, and lets it reload them.
void preferencesChanged()
{
    const Ref<NSString> name = NSString::string("com.quarnel.dayglass2.preferencesChanged");
    CFNotificationCenterPostNotification(
        CFNotificationCenterGetDarwinNotifyCenter(), name.get(), nullptr, nullptr, true);
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, true);
}

// The one booted SpringBoard, moved onto the sample device or a generated one:
// its root, "now" and the extension's settings.
host::SpringBoard& onSampleDevice()
{
    host::SpringBoard& springBoard = sampleSpringBoard();
    platform::setDeviceRoot(DAYGLASS_SAMPLE_DEVICE);
    platform::pinCurrentTime(now);
    preferencesChanged();
    return springBoard;
}

host::SpringBoard& onGeneratedDevice(int items)
{
    host::SpringBoard& springBoard = sampleSpringBoard();
    bench::useDevice(bench::GeneratedDevices::shared().folderFor(items) / "device");
    preferencesChanged();
    return springBoard;
}

Ref<UIImage> drawLockScreen(host::SpringBoard& springBoard)
{
    auto scene = makeRef<LockScreenScene>(springBoard.deviceModel(), springBoard.orientation());
    scene->setContent(springBoard.rootView());
    Ref<UIImage> frame = scene->snapshot(scale);
    scene->setContent(nullptr);
    return frame;
}

// Locked with the screen off and the list on no page, as before a wake.
void reset(host::SpringBoard& springBoard)
{
    springBoard.clearAll();
    springBoard.unlock();
    springBoard.lock();
}

void BM_WakeToOwnPage(benchmark::State& state)
{
    host::SpringBoard& springBoard = onSampleDevice();
    for (auto _ : state) {
        state.PauseTiming();
        reset(springBoard);
        state.ResumeTiming();
        springBoard.wake();
        benchmark::DoNotOptimize(drawLockScreen(springBoard));
    }
}
BENCHMARK(BM_WakeToOwnPage)->Unit(benchmark::kMillisecond);

void BM_NotificationMovesListToFooter(benchmark::State& state)
{
    host::SpringBoard& springBoard = onSampleDevice();
    for (auto _ : state) {
        state.PauseTiming();
        reset(springBoard);
        springBoard.wake();
        state.ResumeTiming();
        springBoard.notify("Messages", "Anna", "Running ten minutes late");
        benchmark::DoNotOptimize(drawLockScreen(springBoard));
    }
}
BENCHMARK(BM_NotificationMovesListToFooter)->Unit(benchmark::kMillisecond);

// The events the extension's list holds, found as SpringBoard's view tree holds it.
std::size_t listedEvents(UIView* root)
{
    constexpr NSInteger eventTableTag = 298659386;
    UIView* table = root->viewWithTag(eventTableTag);
    if (!table)
        return 0;
    const auto* sections = dynamicCast<NSArray>(
        object_getIvar(table, class_getInstanceVariable(object_getClass(table), "calendarEvents")));
    std::size_t count = 0;
    for (NSUInteger index = 0; sections && index < sections->count(); ++index)
        count += dynamicCast<NSArray>(sections->objectAtIndex(index))->count();
    return count;
}

void BM_WakeToListLaidOut(benchmark::State& state)
{
    host::SpringBoard& springBoard = onGeneratedDevice(static_cast<int>(state.range(0)));
    reset(springBoard);
    springBoard.wake();
    springBoard.rootView();
    for (auto _ : state) {
        state.PauseTiming();
        reset(springBoard);
        state.ResumeTiming();
        springBoard.wake();
        benchmark::DoNotOptimize(springBoard.rootView());
    }
    state.counters["events"] = static_cast<double>(listedEvents(springBoard.rootView()));
}
BENCHMARK(BM_WakeToListLaidOut)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
