// The device `dayglass serve` shows: one booted SpringBoard with the extension,
// run on the main thread only, as SpringBoard's main thread is. Its clock runs
// in real time. Other threads hand it work with call() and wait for the
// answer; it plays steps with the same player as `simulate`, draws its screen,
// and tells every page that follows it of each change through the events.
#pragma once

#include "LiveEvents.h"
#include "SimulationPlayer.h"

#include <host/Device.h>
#include <host/LockScreenScene.h>

#include <nlohmann/json.hpp>

#include <atomic>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

// Kept out of this header, as SpringBoard.h does.
class CFRunLoopTimer;

// A request the device cannot answer, with the HTTP status that says why.
class LiveRefusal : public std::runtime_error {
public:
    LiveRefusal(int status, const std::string& message)
        : std::runtime_error(message)
        , status_(status)
    {
    }
    int status() const { return status_; }

private:
    int status_;
};

// The screen drawn once: its pixels, and its PNG once encoded.
struct ScreenFrame {
    // Changes whenever what the screen shows may have changed.
    unsigned long long version = 0;
    double scale = 0;
    std::size_t width = 0, height = 0, stride = 0;
    // Cairo's ARGB32 rows; empty when `png` is already there.
    std::vector<unsigned char> pixels;
    std::shared_ptr<const std::string> png;
};

// The frame's pixels as PNG, on the caller's thread.
std::shared_ptr<const std::string> encodeScreenFrame(const ScreenFrame& frame);

// Every frame takes a few screen-sized buffers (the drawing, its image, the
// groups of faded views, the pixels handed to the encoder): 4 MB each for an
// iPhone 7 at 2x. By glibc's defaults each is mapped afresh and unmapped when
// freed, and the drawing spent most of its time faulting the new pages in; this
// keeps them in the heap to be used again. Call once, before any other thread.
void keepFrameBuffersInHeap();

class LiveDevice {
public:
    // The longest step a request may carry, in bytes.
    static constexpr std::size_t maximumStepLength = 4096;

    LiveDevice(host::Device& device, LiveEvents& events);
    ~LiveDevice();
    LiveDevice(const LiveDevice&) = delete;
    LiveDevice& operator=(const LiveDevice&) = delete;

    // Runs the device on the calling thread, the main one, until stop().
    void run();
    // Ends run() once the work in hand is done; safe from any thread. Work
    // handed later is refused with 503.
    void stop();

    // Hands the work to the device's thread and waits for what it answers or
    // throws.
    template <typename Work> auto call(Work work) -> decltype(work())
    {
        auto task = std::make_shared<std::packaged_task<decltype(work())()>>(std::move(work));
        auto answer = task->get_future();
        hand([task] { (*task)(); });
        return answer.get();
    }

    // The rest runs on the device's thread.

    // Plays one step of the step language: its report as `simulate --json`
    // prints it. LiveRefusal 400 for text that is not one step, 409 for a step
    // the device refuses as it stands.
    nlohmann::ordered_json step(const std::string& text);
    // The lock screen's state, as the `state` step reports it.
    nlohmann::ordered_json state();
    // The screen now at the scale (0: the model's own), drawn or from the last
    // frame when nothing changed since.
    ScreenFrame screen(double scale);
    // Keeps the encoded PNG of a frame for those who ask next; safe from any thread.
    void keepEncoded(const ScreenFrame& frame);
    // The screen's views, as `render --layout-json` prints them.
    nlohmann::ordered_json layout();
    // The device's calendars, with their colours, and whether the settings
    // pane's own list names each.
    nlohmann::ordered_json calendars();
    // Tells the pages that the settings changed, whoever changed them.
    void settingsChanged();

private:
    void hand(std::function<void()> work);
    void runHandedWork();
    // Tells the pages what changed outside any step: the clock, the idle timer.
    void tick();
    void publish(nlohmann::ordered_json news);
    // What the pages see, in short, to tell whether it changed.
    std::string look();

    host::SpringBoard& springBoard_;
    LiveEvents& events_;
    SimulationPlayer player_;
    NonNullRef<LockScreenScene> scene_;
    Ref<CFRunLoopTimer> tickTimer_;
    std::atomic<bool> stopping_ { false };
    unsigned long long version_ = 1;
    std::size_t logged_ = 0;
    std::string lastLook_;

    std::mutex handedLock_;
    std::deque<std::function<void()>> handed_;
    bool closed_ = false;

    std::mutex frameLock_;
    ScreenFrame lastFrame_;
};
