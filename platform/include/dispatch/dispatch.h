// Grand Central Dispatch, the part the extension and the platform use: the main
// queue (served by the main run loop), the global concurrent queues, and one-time
// initialisation. Blocks are std::function.
//
// Every block runs inside its own autorelease pool. An exception a block lets out
// is written to the log instead of ending the process.
#pragma once

#include <functional>
#include <mutex>

typedef struct dispatch_queue_s* dispatch_queue_t;
typedef std::function<void()> dispatch_block_t;
typedef std::once_flag dispatch_once_t;

enum : long {
    DISPATCH_QUEUE_PRIORITY_HIGH = 2,
    DISPATCH_QUEUE_PRIORITY_DEFAULT = 0,
    DISPATCH_QUEUE_PRIORITY_LOW = -2,
    DISPATCH_QUEUE_PRIORITY_BACKGROUND = -32768,
};

// Blocks sent here run, in order, on the thread that runs the main run loop
// (CFRunLoopRunInMode / CFRunLoopRun), when it runs.
dispatch_queue_t dispatch_get_main_queue();
// The global queues of every priority share one small pool of worker threads and
// start their blocks in the order sent; the priority is accepted and not acted on.
dispatch_queue_t dispatch_get_global_queue(long identifier, unsigned long flags);
// Does nothing for a null queue or an empty block.
void dispatch_async(dispatch_queue_t queue, dispatch_block_t block);

inline void dispatch_once(dispatch_once_t* predicate, const dispatch_block_t& block)
{
    std::call_once(*predicate, block);
}

// Waits until every block sent to the global queues so far, and every block those
// send there in turn, has run (tests and the command's clean exit use it; the
// phone has no such call). Raises NSInternalInconsistencyException when called
// from a block on a global queue, which would wait for itself.
void dispatch_drain_global_queues();
