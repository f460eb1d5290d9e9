// Dispatch queues: the main queue is work for the main run loop; the global
// queues feed a small pool of worker threads.
#include <dispatch/dispatch.h>

#include "CoreFoundation/RunLoop.h"

#include <Foundation/NSException.h>
#include <platform/Environment.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <thread>

struct dispatch_queue_s {
    bool main;
    const char* label;
};

namespace {

thread_local bool onWorkerThread = false;

class WorkerPool {
public:
    static WorkerPool& shared()
    {
        // Never destroyed: its detached workers outlive static destruction.
        static auto* pool = new WorkerPool;
        return *pool;
    }

    void submit(Ref<Block<void()>> block)
    {
        std::lock_guard guard(lock_);
        queue_.push_back(std::move(block));
        ++unfinished_;
        if (idle_ == 0 && workers_ < maximumWorkers()) {
            ++workers_;
            std::thread([this] { work(); }).detach();
        }
        workAvailable_.notify_one();
    }

    void drain()
    {
        if (onWorkerThread)
            throw NSException(
                NSInternalInconsistencyException, "dispatch_drain_global_queues called from a block on a global queue");
        std::unique_lock guard(lock_);
        allDone_.wait(guard, [this] { return unfinished_ == 0; });
    }

private:
    static unsigned maximumWorkers() { return std::clamp(std::thread::hardware_concurrency(), 2u, 4u); }

    void work()
    {
        onWorkerThread = true;
        std::unique_lock guard(lock_);
        for (;;) {
            ++idle_;
            workAvailable_.wait(guard, [this] { return !queue_.empty(); });
            --idle_;
            Ref<Block<void()>> block = std::move(queue_.front());
            queue_.pop_front();
            guard.unlock();
            platform::runGuarded([&block] { (*block)(); }, "a block on a global queue");
            block = nullptr;
            guard.lock();
            if (--unfinished_ == 0)
                allDone_.notify_all();
        }
    }

    std::mutex lock_;
    std::condition_variable workAvailable_;
    std::condition_variable allDone_;
    std::deque<Ref<Block<void()>>> queue_;
    std::size_t unfinished_ = 0;
    unsigned workers_ = 0;
    unsigned idle_ = 0;
};

} // namespace

dispatch_queue_t dispatch_get_main_queue()
{
    static dispatch_queue_s queue { true, "com.apple.main-thread" };
    return &queue;
}

dispatch_queue_t dispatch_get_global_queue(long, unsigned long)
{
    static dispatch_queue_s queue { false, "com.apple.root.default-qos" };
    return &queue;
}

const char* dispatch_queue_get_label(dispatch_queue_t queue)
{
    if (!queue)
        queue = onWorkerThread ? dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0)
                               : dispatch_get_main_queue();
    return queue->label;
}

void dispatch_async(dispatch_queue_t queue, dispatch_block_t block)
{
    if (!queue || !block)
        return;
    if (queue->main)
        platform::RunLoop::main().perform([retained = Ref<Block<void()>>(block)] { (*retained)(); });
    else
        WorkerPool::shared().submit(Ref<Block<void()>>(block));
}

void dispatch_drain_global_queues()
{
    WorkerPool::shared().drain();
}

void dispatch_drain_queues()
{
    do
        WorkerPool::shared().drain();
    while (platform::RunLoop::main().performPending());
}

dispatch_time_t dispatch_time(dispatch_time_t when, std::int64_t delta)
{
    const auto base = when == DISPATCH_TIME_NOW
        ? static_cast<std::int64_t>(std::llround(platform::currentUnixTime() * NSEC_PER_SEC))
        : static_cast<std::int64_t>(when);
    return static_cast<dispatch_time_t>(std::max<std::int64_t>(1, base + delta));
}

void dispatch_after(dispatch_time_t when, dispatch_queue_t queue, dispatch_block_t block)
{
    if (!queue || !block)
        return;
    const CFAbsoluteTime fireDate
        = static_cast<double>(when == DISPATCH_TIME_NOW ? dispatch_time(when, 0) : when) / NSEC_PER_SEC
        - kCFAbsoluteTimeIntervalSince1970;
    Ref<Block<void()>> retained(block);
    Ref<CFRunLoopTimer> timer = CFRunLoopTimerCreateWithHandler(
        fireDate, 0, [queue, retained](CFRunLoopTimer*) { dispatch_async(queue, retained.get()); });
    CFRunLoopAddTimer(CFRunLoopGetMain(), timer.get(), kCFRunLoopDefaultMode);
}
