// The main run loop: it serves the main dispatch queue, notifications posted
// from other processes, and timers. Modes are accepted and not told apart: every
// source runs in every mode.
//
// Timers go by the platform's clock. On a running clock they fire while the
// loop runs; on the simulated clock (a pinned time, platform/Environment.h) they
// fire when the host advances it with CFRunLoopAdvanceClock, so nothing waits for
// real time.
#pragma once

#include <CoreFoundation/CFBase.h>
#include <objc/Block.h>
#include <platform/Export.h>

#include <atomic>
#include <type_traits>
#include <utility>

typedef struct __CFRunLoop* CFRunLoopRef;

enum CFRunLoopRunResult : int {
    kCFRunLoopRunFinished = 1,
    kCFRunLoopRunStopped = 2,
    kCFRunLoopRunTimedOut = 3,
    kCFRunLoopRunHandledSource = 4,
};

PLATFORM_EXPORT CFRunLoopRef CFRunLoopGetMain();

// Runs the main run loop on the calling thread for at most `seconds` (0 handles
// what is pending and returns), or until CFRunLoopStop, or after the first
// handled source when asked to. The main queue is always one of its sources, so
// it never finishes for want of sources.
PLATFORM_EXPORT CFRunLoopRunResult CFRunLoopRunInMode(
    CFStringRef mode, CFTimeInterval seconds, Boolean returnAfterSourceHandled);
// Runs the main run loop until CFRunLoopStop.
PLATFORM_EXPORT void CFRunLoopRun();
// Makes the current run return; when the loop is not running, the next run
// returns at once. Safe from any thread, and from a signal handler.
PLATFORM_EXPORT void CFRunLoopStop(CFRunLoopRef loop);

PLATFORM_EXPORT extern const CFStringRef kCFRunLoopDefaultMode;

PLATFORM_EXPORT CFAbsoluteTime CFAbsoluteTimeGetCurrent();

// A timer of the main run loop. It fires on the loop's thread once its fire date
// has come, and again every `interval` seconds while that is above zero, until it
// is invalidated; a timer that does not repeat is invalidated when it fires.
// The loop retains the timers added to it until they are invalidated.
class PLATFORM_EXPORT CFRunLoopTimer : public objc::Subclass<CFRunLoopTimer, NSObject> {
public:
    using Handler = Block<void(CFRunLoopTimer*)>;
    static Class classObject();

    CFRunLoopTimer(CFAbsoluteTime fireDate, CFTimeInterval interval, Handler* handler);

    CFAbsoluteTime nextFireDate() const { return fireDate_; }
    CFTimeInterval interval() const { return interval_; }
    bool isValid() const { return valid_.load(); }
    void invalidate() { valid_.store(false); }

    // Calls the handler and moves the fire date to the next one after `now`.
    void fire(CFAbsoluteTime now);

private:
    CFAbsoluteTime fireDate_;
    CFTimeInterval interval_;
    std::atomic<bool> valid_ { true };
    Ref<Handler> handler_;
};
typedef CFRunLoopTimer* CFRunLoopTimerRef;

PLATFORM_EXPORT Ref<CFRunLoopTimer> CFRunLoopTimerCreateWithHandler(
    CFAbsoluteTime fireDate, CFTimeInterval interval, CFRunLoopTimer::Handler* handler);
template <typename F,
    typename
    = std::enable_if_t<std::is_invocable_v<F&, CFRunLoopTimer*> && !std::is_convertible_v<F, CFRunLoopTimer::Handler*>>>
Ref<CFRunLoopTimer> CFRunLoopTimerCreateWithHandler(CFAbsoluteTime fireDate, CFTimeInterval interval, F&& handler)
{
    return CFRunLoopTimerCreateWithHandler(
        fireDate, interval, makeBlock<void(CFRunLoopTimer*)>(std::forward<F>(handler)).get());
}
PLATFORM_EXPORT void CFRunLoopAddTimer(CFRunLoopRef loop, CFRunLoopTimerRef timer, CFStringRef mode);
// Takes the timer off the loop; it stays valid, and fires again once added back.
PLATFORM_EXPORT void CFRunLoopRemoveTimer(CFRunLoopRef loop, CFRunLoopTimerRef timer, CFStringRef mode);
// Takes the timer off its loop for good; safe from any thread.
PLATFORM_EXPORT void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer);
PLATFORM_EXPORT Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer);
PLATFORM_EXPORT CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer);

// Moves the clock `seconds` forward: a pinned clock stays pinned there, a running
// one runs on from there. On the way every timer of the main run loop that falls
// due fires in the order of its fire dates, with the clock at that date, and the
// main queue's blocks run after each. Call on the thread that runs the main run
// loop. The host's own call; the phone has none.
PLATFORM_EXPORT void CFRunLoopAdvanceClock(CFTimeInterval seconds);
