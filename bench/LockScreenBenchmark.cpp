// What the user waits for on the sample device: from the screen waking with no
// notification to the event list on its own page, laid out and drawn (its settings
// copied, its events loaded and grouped, the whole lock screen's first frame drawn
// at 2x); and from a notification arriving to the list laid out in the footer under
// it and drawn. A frame at 60 Hz is 16.7 ms.
#include <host/Device.h>
#include <host/LockScreenScene.h>

#include <UIKit/UIScreen.h>
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

Ref<UIImage> drawLockScreen(host::SpringBoard& springBoard)
{
    auto scene = Ref<LockScreenScene>::adopt(new LockScreenScene(springBoard.deviceModel(), springBoard.orientation()));
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
    host::SpringBoard& springBoard = sampleSpringBoard();
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
    host::SpringBoard& springBoard = sampleSpringBoard();
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

} // namespace

BENCHMARK_MAIN();
