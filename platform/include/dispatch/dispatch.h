// Grand Central Dispatch, the part the extension and the platform use: the main
// queue (served by the main run loop), the global concurrent queues, and one-time
// initialisation. Blocks are block objects: a queue retains each block it is
// given until the block has run.
//
// Every block runs inside its own autorelease pool. An exception a block lets out
// is written to the log instead of ending the process.
#pragma once

#include <objc/Block.h>
#include <platform/Export.h>

#include <cstdint>
#include <mutex>
#include <type_traits>
#include <utility>

typedef struct dispatch_queue_s* dispatch_queue_t;
typedef Block<void()>* dispatch_block_t;
typedef std::once_flag dispatch_once_t;

enum : long {
    DISPATCH_QUEUE_PRIORITY_HIGH = 2,
    DISPATCH_QUEUE_PRIORITY_DEFAULT = 0,
    DISPATCH_QUEUE_PRIORITY_LOW = -2,
    DISPATCH_QUEUE_PRIORITY_BACKGROUND = -32768,
};

// Blocks sent here run, in order, on the thread that runs the main run loop
// (CFRunLoopRunInMode / CFRunLoopRun), when it runs.
PLATFORM_EXPORT dispatch_queue_t dispatch_get_main_queue();
// The global queues of every priority share one small pool of worker threads and
// start their blocks in the order sent; the priority is accepted and not acted on.
PLATFORM_EXPORT dispatch_queue_t dispatch_get_global_queue(long identifier, unsigned long flags);
// The queue's label: "com.apple.main-thread" for the main queue,
// "com.apple.root.default-qos" for the global queues. With
// DISPATCH_CURRENT_QUEUE_LABEL, the label of the queue running the caller: a
// global queue's on its worker threads, the main queue's on the process's first
// thread, and "" on a thread no queue runs.
inline constexpr dispatch_queue_t DISPATCH_CURRENT_QUEUE_LABEL = nullptr;
PLATFORM_EXPORT const char* dispatch_queue_get_label(dispatch_queue_t queue);

// Does nothing for a null queue or a nil block.
PLATFORM_EXPORT void dispatch_async(dispatch_queue_t queue, dispatch_block_t block);

// A lambda is made into a block first, as a block literal would be.
template <typename F,
    typename = std::enable_if_t<std::is_invocable_v<F&> && !std::is_convertible_v<F, dispatch_block_t>>>
void dispatch_async(dispatch_queue_t queue, F&& body)
{
    dispatch_async(queue, makeBlock<void()>(std::forward<F>(body)).get());
}

// Nanoseconds since 1970 on the platform's clock.
typedef std::uint64_t dispatch_time_t;
inline constexpr dispatch_time_t DISPATCH_TIME_NOW = 0;
inline constexpr std::int64_t NSEC_PER_SEC = 1000000000;
// `delta` nanoseconds after `when`, or after now for DISPATCH_TIME_NOW.
PLATFORM_EXPORT dispatch_time_t dispatch_time(dispatch_time_t when, std::int64_t delta);

// Sends the block to the queue at `when`. A timer of the main run loop keeps the
// time, so on the simulated clock the block is sent when the host advances the
// clock past `when` (CFRunLoopAdvanceClock).
PLATFORM_EXPORT void dispatch_after(dispatch_time_t when, dispatch_queue_t queue, dispatch_block_t block);
template <typename F,
    typename = std::enable_if_t<std::is_invocable_v<F&> && !std::is_convertible_v<F, dispatch_block_t>>>
void dispatch_after(dispatch_time_t when, dispatch_queue_t queue, F&& body)
{
    dispatch_after(when, queue, makeBlock<void()>(std::forward<F>(body)).get());
}

template <typename F> void dispatch_once(dispatch_once_t* predicate, F&& body)
{
    std::call_once(*predicate, std::forward<F>(body));
}

// Waits until every block sent to the global queues so far, and every block those
// send there in turn, has run (tests and the command's clean exit use it; the
// phone has no such call). Raises NSInternalInconsistencyException when called
// from a block on a global queue, which would wait for itself.
PLATFORM_EXPORT void dispatch_drain_global_queues();

// Runs the main queue on the calling thread, which must be the one that runs the
// main run loop, and waits for the global queues, until neither has a block left,
// also the blocks that either sends to the other meanwhile. Tests and the host
// use it to let every queued block run without waiting for real time.
PLATFORM_EXPORT void dispatch_drain_queues();
