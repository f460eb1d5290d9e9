// What a page waits for on the live device, the iPhone 7 of the sample device at
// 2x: from a step (a preference stored, a notification arriving, a finger
// moving a row) to the new screen ready to send as PNG, split into the step
// itself, the layout, the drawing and the PNG encoding, each in processor time
// of the device's thread. The HTTP round trip (on loopback) is not counted;
// "draw" includes copying the pixels out. Two frames at 60 Hz are 33 ms; a drag wants a
// frame every 33 ms or better.
#include "LiveDevice.h"

#include <host/Device.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <optional>

namespace {

// Thursday 5 March 2026, 09:41 in Berlin.
constexpr double now = 1772700060.0;

struct Live {
    std::optional<host::Device> device;
    LiveEvents events;
    std::optional<LiveDevice> live;
};

// A copy of the sample device, so that the settings the steps store never
// reach the user's own; removed when the process ends.
const std::string& sampleCopy()
{
    static const std::string root = [] {
        std::string folder = (std::filesystem::temp_directory_path() / "dayglass-live-bench-XXXXXX").string();
        if (!mkdtemp(folder.data()))
            throw std::runtime_error("cannot make a temporary folder");
        std::filesystem::copy(DAYGLASS_SAMPLE_DEVICE, folder,
            std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
        std::atexit([] {
            std::error_code error;
            std::filesystem::remove_all(sampleCopy(), error);
        });
        return folder;
    }();
    return root;
}

Live& sampleLive()
{
    static Live* live = [] {
        keepFrameBuffersInHeap();
        auto* made = new Live;
        made->device.emplace(host::Device::boot(
            { .root = sampleCopy(), .now = now, .timeZone = "Europe/Berlin", .locale = "en_US" }));
        made->live.emplace(*made->device, made->events);
        made->live->step("wake");
        return made;
    }();
    return *live;
}

// The processor time of this thread, in milliseconds: on a machine whose cores
// are shared, a part's own cost, whatever else runs.
double threadMilliseconds()
{
    timespec time {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_nsec) / 1e6;
}

// Plays `step`, then draws and encodes the screen, each part timed on its own;
// `undo` puts the device back, untimed.
void stepToPng(benchmark::State& state, const char* step, const char* undo)
{
    Live& live = sampleLive();
    host::SpringBoard& springBoard = live.device->springBoard();
    double stepTime = 0, layoutTime = 0, drawTime = 0, pngTime = 0;
    for (auto _ : state) {
        double start = threadMilliseconds();
        live.live->step(step);
        stepTime += threadMilliseconds() - start;

        start = threadMilliseconds();
        springBoard.rootView();
        layoutTime += threadMilliseconds() - start;

        start = threadMilliseconds();
        ScreenFrame frame = live.live->screen(2);
        drawTime += threadMilliseconds() - start;

        start = threadMilliseconds();
        benchmark::DoNotOptimize(encodeScreenFrame(frame)->size());
        pngTime += threadMilliseconds() - start;

        state.PauseTiming();
        if (*undo)
            live.live->step(undo);
        state.ResumeTiming();
    }
    const auto average = benchmark::Counter::kAvgIterations;
    state.counters["step_ms"] = benchmark::Counter(stepTime, average);
    state.counters["layout_ms"] = benchmark::Counter(layoutTime, average);
    state.counters["draw_ms"] = benchmark::Counter(drawTime, average);
    state.counters["png_ms"] = benchmark::Counter(pngTime, average);
}

void BM_LiveStep_PreferenceToPng(benchmark::State& state)
{
    stepToPng(state, "prefs set textSize 15", "prefs set textSize 13");
}
BENCHMARK(BM_LiveStep_PreferenceToPng)->Unit(benchmark::kMillisecond);

void BM_LiveStep_NotificationToPng(benchmark::State& state)
{
    stepToPng(state, "notify Mail Bank \"Statement ready\"", "clear all");
}
BENCHMARK(BM_LiveStep_NotificationToPng)->Unit(benchmark::kMillisecond);

// One intermediate frame of a row held sideways, as a drag sends them: the finger
// moves from 60 points out to 40.
void BM_LiveStep_DragFrameToPng(benchmark::State& state)
{
    stepToPng(state, "swipe 0 0 40 hold", "swipe 0 0 60 hold");
}
BENCHMARK(BM_LiveStep_DragFrameToPng)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
