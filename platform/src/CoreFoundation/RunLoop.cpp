#include "CoreFoundation/RunLoop.h"

#include <Foundation/NSException.h>
#include <Foundation/NSString.h>
#include <platform/Environment.h>
#include <platform/Log.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

void runGuarded(const std::function<void()>& work, const char* where)
{
    AutoreleasePool pool;
    try {
        work();
    } catch (const std::exception& exception) {
        writeLogLine(std::string("*** uncaught exception in ") + where + ": " + exception.what());
    }
}

RunLoop& RunLoop::main()
{
    // Never destroyed: other threads may still queue work while the process exits.
    static auto* loop = new RunLoop;
    return *loop;
}

RunLoop::RunLoop()
    : wakeDescriptor_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
}

void RunLoop::perform(std::function<void()> work)
{
    {
        std::lock_guard guard(lock_);
        queue_.push_back(std::move(work));
    }
    wake();
}

void RunLoop::addSource(DescriptorSource source)
{
    std::lock_guard guard(lock_);
    sources_.push_back(std::move(source));
}

void RunLoop::stop()
{
    // No lock: a signal handler may stop the loop.
    stopRequested_.store(true);
    wake();
}

void RunLoop::wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t written = ::write(wakeDescriptor_, &one, sizeof one);
}

bool RunLoop::takeStop()
{
    return stopRequested_.exchange(false);
}

bool RunLoop::performPending()
{
    // Only what was queued before this pass: work that queues more work must not
    // keep the loop from its sources.
    std::size_t count;
    {
        std::lock_guard guard(lock_);
        count = queue_.size();
    }
    for (std::size_t i = 0; i < count; ++i) {
        std::function<void()> work;
        {
            std::lock_guard guard(lock_);
            if (queue_.empty())
                break;
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        runGuarded(work, "a block on the main queue");
    }
    return count > 0;
}

void RunLoop::addTimer(CFRunLoopTimer* timer)
{
    {
        std::lock_guard guard(lock_);
        if (!timer->isValid() || std::find(timers_.begin(), timers_.end(), timer) != timers_.end())
            return;
        timers_.emplace_back(timer);
    }
    wake();
}

void RunLoop::removeTimer(CFRunLoopTimer* timer)
{
    Ref<CFRunLoopTimer> removed;
    std::lock_guard guard(lock_);
    auto it = std::find(timers_.begin(), timers_.end(), timer);
    if (it == timers_.end())
        return;
    // Released after the lock: the last release may free a handler that captured anything.
    removed = std::move(*it);
    timers_.erase(it);
}

Ref<CFRunLoopTimer> RunLoop::earliestTimer(CFAbsoluteTime limit)
{
    std::lock_guard guard(lock_);
    std::erase_if(timers_, [](const Ref<CFRunLoopTimer>& timer) { return !timer->isValid(); });
    Ref<CFRunLoopTimer> earliest;
    for (const Ref<CFRunLoopTimer>& timer : timers_)
        if (timer->nextFireDate() <= limit && (!earliest || timer->nextFireDate() < earliest->nextFireDate()))
            earliest = timer;
    return earliest;
}

int RunLoop::fireTimersDueBy(CFAbsoluteTime now)
{
    int fired = 0;
    while (Ref<CFRunLoopTimer> timer = earliestTimer(now)) {
        runGuarded([&] { timer->fire(now); }, "a run-loop timer");
        ++fired;
    }
    return fired;
}

void RunLoop::advanceClock(CFTimeInterval seconds)
{
    const CFAbsoluteTime target = CFAbsoluteTimeGetCurrent() + std::max(0.0, seconds);
    while (Ref<CFRunLoopTimer> timer = earliestTimer(target)) {
        const CFAbsoluteTime when = std::max(CFAbsoluteTimeGetCurrent(), timer->nextFireDate());
        setCurrentTime(when + kCFAbsoluteTimeIntervalSince1970);
        runGuarded([&] { timer->fire(when); }, "a run-loop timer");
        performPending();
    }
    setCurrentTime(target + kCFAbsoluteTimeIntervalSince1970);
}

// On a running clock a wait ends in time for the next timer; on the simulated
// clock no timer comes due while the loop waits.
std::chrono::steady_clock::time_point RunLoop::wakeForTimers(std::chrono::steady_clock::time_point deadline)
{
    if (isCurrentTimePinned())
        return deadline;
    const CFAbsoluteTime now = CFAbsoluteTimeGetCurrent();
    Ref<CFRunLoopTimer> next = earliestTimer(std::numeric_limits<CFAbsoluteTime>::infinity());
    if (!next)
        return deadline;
    const auto wait = std::chrono::duration<double>(std::max(0.0, next->nextFireDate() - now));
    return std::min(deadline,
        std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(wait));
}

bool RunLoop::waitForInput(std::chrono::steady_clock::time_point deadline)
{
    std::vector<DescriptorSource> sources;
    {
        std::lock_guard guard(lock_);
        if (!queue_.empty() || stopRequested_.load())
            return false;
        sources = sources_;
    }
    std::vector<pollfd> watched { { wakeDescriptor_, POLLIN, 0 } };
    std::vector<const DescriptorSource*> owners { nullptr };
    for (const DescriptorSource& source : sources) {
        if (const int fd = source.descriptor(); fd >= 0) {
            watched.push_back({ fd, POLLIN, 0 });
            owners.push_back(&source);
        }
    }
    const auto remaining = std::chrono::duration<double, std::milli>(deadline - std::chrono::steady_clock::now());
    const int timeout = static_cast<int>(std::clamp(std::ceil(remaining.count()), 0.0, 86400000.0));
    if (::poll(watched.data(), watched.size(), timeout) <= 0)
        return false;

    std::uint64_t wakes;
    [[maybe_unused]] ssize_t drained = ::read(wakeDescriptor_, &wakes, sizeof wakes);
    bool handled = false;
    for (std::size_t i = 1; i < watched.size(); ++i) {
        if (watched[i].revents == 0)
            continue;
        runGuarded(owners[i]->readable, "a run-loop source");
        handled = true;
    }
    return handled;
}

CFRunLoopRunResult RunLoop::run(std::chrono::steady_clock::duration limit, bool returnAfterSourceHandled)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool handled = false;
    bool expired = false;
    for (;;) {
        if (takeStop())
            return kCFRunLoopRunStopped;
        fireTimersDueBy(CFAbsoluteTimeGetCurrent());
        handled = performPending() || handled;
        if (handled && returnAfterSourceHandled)
            return kCFRunLoopRunHandledSource;
        if (takeStop())
            return kCFRunLoopRunStopped;
        if (expired)
            return kCFRunLoopRunTimedOut;
        handled = waitForInput(wakeForTimers(deadline)) || handled;
        expired = std::chrono::steady_clock::now() >= deadline;
    }
}

} // namespace platform

namespace {

std::chrono::steady_clock::duration durationOf(CFTimeInterval seconds)
{
    // A century stands for "for ever" and keeps the deadline arithmetic in range.
    constexpr double longest = 100.0 * 365 * 86400;
    const double bounded = std::isnan(seconds) ? 0.0 : std::clamp(seconds, 0.0, longest);
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(bounded));
}

} // namespace

const CFStringRef kCFRunLoopDefaultMode = new NSString("kCFRunLoopDefaultMode");

CFRunLoopRef CFRunLoopGetMain()
{
    return reinterpret_cast<CFRunLoopRef>(&platform::RunLoop::main());
}

CFRunLoopRunResult CFRunLoopRunInMode(CFStringRef, CFTimeInterval seconds, Boolean returnAfterSourceHandled)
{
    return platform::RunLoop::main().run(durationOf(seconds), returnAfterSourceHandled != 0);
}

void CFRunLoopRun()
{
    while (CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1e10, false) != kCFRunLoopRunStopped) { }
}

void CFRunLoopStop(CFRunLoopRef loop)
{
    if (loop)
        reinterpret_cast<platform::RunLoop*>(loop)->stop();
}

CFAbsoluteTime CFAbsoluteTimeGetCurrent()
{
    return platform::currentUnixTime() - kCFAbsoluteTimeIntervalSince1970;
}

Ref<CFRunLoopTimer> CFRunLoopTimerCreateWithHandler(
    CFAbsoluteTime fireDate, CFTimeInterval interval, CFRunLoopTimer::Handler* handler)
{
    return makeRef<CFRunLoopTimer>(fireDate, interval, handler);
}

void CFRunLoopAddTimer(CFRunLoopRef loop, CFRunLoopTimerRef timer, CFStringRef)
{
    if (loop && timer)
        reinterpret_cast<platform::RunLoop*>(loop)->addTimer(timer);
}

void CFRunLoopRemoveTimer(CFRunLoopRef loop, CFRunLoopTimerRef timer, CFStringRef)
{
    if (loop && timer)
        reinterpret_cast<platform::RunLoop*>(loop)->removeTimer(timer);
}

void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer)
{
    if (!timer)
        return;
    timer->invalidate();
    platform::RunLoop::main().removeTimer(timer);
}

Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer)
{
    return timer && timer->isValid();
}

CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer)
{
    return timer ? timer->nextFireDate() : 0;
}

void CFRunLoopAdvanceClock(CFTimeInterval seconds)
{
    platform::RunLoop::main().advanceClock(seconds);
}
