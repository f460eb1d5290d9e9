// The main run loop, the main and global dispatch queues, and CFLog.
#include <CoreFoundation/CFLog.h>
#include <CoreFoundation/CFRunLoop.h>
#include <Foundation/NSException.h>
#include <Foundation/NSString.h>
#include <dispatch/dispatch.h>
#include <platform/Log.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

class Tracked : public NSObject {
public:
    explicit Tracked(std::atomic<int>* live)
        : live_(live)
    {
        ++*live_;
    }
    ~Tracked() override { --*live_; }

private:
    std::atomic<int>* live_;
};

CFRunLoopRunResult runPending()
{
    return CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false);
}

} // namespace

TEST(MainQueue, BlocksRunInOrderOnTheThreadRunningTheLoop)
{
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    for (int i = 1; i <= 3; ++i)
        dispatch_async(dispatch_get_main_queue(), [&, i] {
            order.push_back(i);
            threads.push_back(std::this_thread::get_id());
        });
    EXPECT_TRUE(order.empty());
    runPending();
    EXPECT_EQ(order, (std::vector<int> { 1, 2, 3 }));
    for (auto thread : threads)
        EXPECT_EQ(thread, std::this_thread::get_id());
}

TEST(MainQueue, EachBlockDrainsItsOwnAutoreleasePool)
{
    std::atomic<int> live = 0;
    int seenInside = -1;
    dispatch_async(dispatch_get_main_queue(), [&] {
        autoreleased(makeRef<Tracked>(&live));
        seenInside = live;
    });
    runPending();
    EXPECT_EQ(seenInside, 1);
    EXPECT_EQ(live, 0);
}

TEST(MainQueue, ExceptionInABlockIsLoggedAndTheLoopGoesOn)
{
    platform::clearLog();
    bool laterRan = false;
    dispatch_async(dispatch_get_main_queue(), [] { throw NSException(NSRangeException, "index 3 beyond bounds"); });
    dispatch_async(dispatch_get_main_queue(), [&] { laterRan = true; });
    runPending();
    EXPECT_TRUE(laterRan);
    ASSERT_EQ(platform::loggedLines().size(), 1u);
    EXPECT_NE(platform::loggedLines()[0].find("index 3 beyond bounds"), std::string::npos);
}

TEST(RunLoop, ResultsTellWhyTheRunEnded)
{
    EXPECT_EQ(runPending(), kCFRunLoopRunTimedOut);

    dispatch_async(dispatch_get_main_queue(), [] {});
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 10, true), kCFRunLoopRunHandledSource);

    // A stop asked for while the loop is not running ends the next run at once.
    CFRunLoopStop(CFRunLoopGetMain());
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 10, false), kCFRunLoopRunStopped);
    EXPECT_EQ(runPending(), kCFRunLoopRunTimedOut);
}

TEST(RunLoop, StopFromAnotherThreadEndsAWaitingRun)
{
    dispatch_async(
        dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [] { CFRunLoopStop(CFRunLoopGetMain()); });
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 10, false), kCFRunLoopRunStopped);
    dispatch_drain_global_queues();
}

TEST(RunLoop, RunReturnsWhenABlockStopsIt)
{
    int ran = 0;
    dispatch_async(dispatch_get_main_queue(), [&] { ++ran; });
    dispatch_async(dispatch_get_main_queue(), [] { CFRunLoopStop(CFRunLoopGetMain()); });
    CFRunLoopRun();
    EXPECT_EQ(ran, 1);
}

TEST(GlobalQueue, BlocksRunOnWorkersAndDrainWaitsForThemAll)
{
    std::atomic<int> done = 0;
    std::atomic<int> onMain = 0;
    const auto mainThread = std::this_thread::get_id();
    for (int i = 0; i < 20; ++i)
        dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [&] {
            if (std::this_thread::get_id() == mainThread)
                ++onMain;
            // A block that sends another: the drain waits for that one too.
            dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_LOW, 0), [&] { ++done; });
        });
    dispatch_drain_global_queues();
    EXPECT_EQ(done, 20);
    EXPECT_EQ(onMain, 0);
}

TEST(GlobalQueue, WorkerHandsResultsBackThroughTheMainQueue)
{
    std::thread::id deliveredOn;
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0),
        [&] { dispatch_async(dispatch_get_main_queue(), [&] { deliveredOn = std::this_thread::get_id(); }); });
    dispatch_drain_global_queues();
    runPending();
    EXPECT_EQ(deliveredOn, std::this_thread::get_id());
}

TEST(GlobalQueue, DrainFromAWorkerIsRefused)
{
    std::atomic<bool> refused = false;
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [&] {
        try {
            dispatch_drain_global_queues();
        } catch (const NSException&) {
            refused = true;
        }
    });
    dispatch_drain_global_queues();
    EXPECT_TRUE(refused);
}

TEST(Dispatch, QueueKeepsItsBlockAliveUntilTheBlockHasRun)
{
    std::atomic<int> live = 0;
    bool ran = false;
    {
        auto captured = makeRef<Tracked>(&live);
        auto block = makeBlock<void()>([captured, &ran] { ran = true; });
        dispatch_async(dispatch_get_main_queue(), block.get());
    }
    EXPECT_EQ(live, 1);
    dispatch_drain_queues();
    EXPECT_TRUE(ran);
    EXPECT_EQ(live, 0);
}

TEST(Dispatch, DrainRunsBlocksThatBounceBetweenTheQueues)
{
    const auto mainThread = std::this_thread::get_id();
    std::vector<std::string> steps;
    auto* global = dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0);
    dispatch_async(global, [&] {
        dispatch_async(dispatch_get_main_queue(), [&] {
            steps.push_back(std::this_thread::get_id() == mainThread ? "main" : "elsewhere");
            dispatch_async(
                global, [&] { dispatch_async(dispatch_get_main_queue(), [&] { steps.push_back("main again"); }); });
        });
    });
    dispatch_drain_queues();
    EXPECT_EQ(steps, (std::vector<std::string> { "main", "main again" }));
}

TEST(CFLog, FormatsLikeNSLogIntoTheSameLog)
{
    platform::clearLog();
    CFLog(kCFLogLevelNotice, "[%s: %s:%d] %s: %@"_ns.get(), "DGL", "Tweak.xm", 512, "Notice",
        "idle timer replaced"_ns.get());
    CFLog(kCFLogLevelError, "%@ and %lu"_ns.get(), static_cast<NSObject*>(nullptr), 7UL);
    EXPECT_EQ(platform::loggedLines(),
        (std::vector<std::string> { "[DGL: Tweak.xm:512] Notice: idle timer replaced", "(null) and 7" }));
}
