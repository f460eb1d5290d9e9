// The machinery under CFRunLoop: work queued from any thread for the thread that
// runs the loop, file descriptors watched while it waits, and timers.
#pragma once

#include <CoreFoundation/CFRunLoop.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace platform {

class RunLoop {
public:
    static RunLoop& main();

    // Queues work for the loop's next pass; safe from any thread.
    void perform(std::function<void()> work);

    // A descriptor the loop watches while it waits. The loop asks for it before
    // every wait, so it may change or be -1 for none; `readable` runs on the
    // loop's thread when it has input.
    struct DescriptorSource {
        std::function<int()> descriptor;
        std::function<void()> readable;
    };
    void addSource(DescriptorSource source);

    // Runs the work queued so far on the calling thread, without waiting for
    // input; answers whether there was any.
    bool performPending();

    void addTimer(CFRunLoopTimer* timer);
    void removeTimer(CFRunLoopTimer* timer);
    // Fires, earliest first, every timer due at `now` (CFAbsoluteTime), each
    // with the clock as it is; answers how many fired.
    int fireTimersDueBy(CFAbsoluteTime now);
    void advanceClock(CFTimeInterval seconds);

    CFRunLoopRunResult run(std::chrono::steady_clock::duration limit, bool returnAfterSourceHandled);
    // Async-signal-safe: it only sets a flag and writes to the wake descriptor.
    void stop();

private:
    RunLoop();

    bool takeStop();
    bool waitForInput(std::chrono::steady_clock::time_point deadline);
    // The valid timer with the earliest fire date not after `limit`, or null.
    Ref<CFRunLoopTimer> earliestTimer(CFAbsoluteTime limit);
    std::chrono::steady_clock::time_point wakeForTimers(std::chrono::steady_clock::time_point deadline);
    void wake();

    std::mutex lock_;
    std::deque<std::function<void()>> queue_;
    std::vector<DescriptorSource> sources_;
    // In the order added, which breaks ties between equal fire dates.
    std::vector<Ref<CFRunLoopTimer>> timers_;
    std::atomic<bool> stopRequested_ { false };
    int wakeDescriptor_;
};

// Runs one piece of queued work inside its own autorelease pool; an exception
// it lets out is logged, not allowed to take the process down.
void runGuarded(const std::function<void()>& work, const char* where);

} // namespace platform
