// Run-loop timers on the simulated clock, and dispatch_after on top of them.
#include <CoreFoundation/CFRunLoop.h>
#include <dispatch/dispatch.h>
#include <platform/Environment.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// 2024-03-05 12:00:00 UTC.
constexpr double startUnixTime = 1709640000;
constexpr CFAbsoluteTime start = startUnixTime - kCFAbsoluteTimeIntervalSince1970;

class SimulatedClock : public testing::Test {
protected:
    void SetUp() override { platform::pinCurrentTime(startUnixTime); }
    void TearDown() override
    {
        for (const Ref<CFRunLoopTimer>& timer : timers_)
            CFRunLoopTimerInvalidate(timer.get());
        platform::pinCurrentTime(std::nullopt);
    }

    // Records "name@seconds after the start" each time it fires.
    CFRunLoopTimer* schedule(std::string name, CFTimeInterval after, CFTimeInterval interval)
    {
        Ref<CFRunLoopTimer> timer = CFRunLoopTimerCreateWithHandler(start + after, interval,
            [this, name](CFRunLoopTimer*) { fired.push_back(name + "@" + secondsSinceStart()); });
        CFRunLoopAddTimer(CFRunLoopGetMain(), timer.get(), kCFRunLoopDefaultMode);
        timers_.push_back(timer);
        return timer.get();
    }

    static std::string secondsSinceStart() { return std::to_string(std::lround(CFAbsoluteTimeGetCurrent() - start)); }

    std::vector<std::string> fired;

private:
    std::vector<Ref<CFRunLoopTimer>> timers_;
};

} // namespace

TEST_F(SimulatedClock, TimersFireInOrderOfTheirDatesWithTheClockStandingThere)
{
    CFRunLoopTimer* once = schedule("once", 10, 0);
    schedule("every4", 3, 4);

    CFRunLoopAdvanceClock(2);
    EXPECT_TRUE(fired.empty());
    CFRunLoopAdvanceClock(10);
    EXPECT_EQ(fired, (std::vector<std::string> { "every4@3", "every4@7", "once@10", "every4@11" }));
    EXPECT_EQ(secondsSinceStart(), "12");
    EXPECT_FALSE(CFRunLoopTimerIsValid(once));

    // Running the loop without moving the clock fires nothing.
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false);
    EXPECT_EQ(fired.size(), 4u);
}

TEST_F(SimulatedClock, InvalidatedTimersStopEvenFromAHandlerAtTheSameMoment)
{
    CFRunLoopTimer* victim = schedule("victim", 5, 1);
    Ref<CFRunLoopTimer> killer = CFRunLoopTimerCreateWithHandler(start + 5, 0, [&](CFRunLoopTimer*) {
        fired.push_back("killer");
        CFRunLoopTimerInvalidate(victim);
    });
    // Due at the same moment as the victim but added later, the killer fires after it.
    schedule("early", 1, 0);
    CFRunLoopTimer* selfStopping = schedule("self", 2, 2);
    Ref<CFRunLoopTimer> stopper = CFRunLoopTimerCreateWithHandler(
        start + 4.5, 0, [&](CFRunLoopTimer*) { CFRunLoopTimerInvalidate(selfStopping); });
    CFRunLoopAddTimer(CFRunLoopGetMain(), stopper.get(), kCFRunLoopDefaultMode);
    CFRunLoopAddTimer(CFRunLoopGetMain(), killer.get(), kCFRunLoopDefaultMode);

    CFRunLoopAdvanceClock(20);
    EXPECT_EQ(fired, (std::vector<std::string> { "early@1", "self@2", "self@4", "victim@5", "killer" }));
    CFRunLoopTimerInvalidate(victim);
}

TEST_F(SimulatedClock, ARemovedTimerMissesItsDatesAndFiresOnceForThemWhenAddedBack)
{
    CFRunLoopTimer* every2 = schedule("every2", 2, 2);
    CFRunLoopRemoveTimer(CFRunLoopGetMain(), every2, kCFRunLoopDefaultMode);
    CFRunLoopAdvanceClock(9);
    EXPECT_TRUE(fired.empty());
    EXPECT_TRUE(CFRunLoopTimerIsValid(every2));
    CFRunLoopAddTimer(CFRunLoopGetMain(), every2, kCFRunLoopDefaultMode);
    CFRunLoopAdvanceClock(3);
    EXPECT_EQ(fired, (std::vector<std::string> { "every2@9", "every2@10", "every2@12" }));
}

TEST_F(SimulatedClock, DispatchAfterSendsTheBlockWhenTheClockPassesItsTime)
{
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 30 * NSEC_PER_SEC), dispatch_get_main_queue(),
        [this] { fired.push_back("after@" + secondsSinceStart()); });
    CFRunLoopAdvanceClock(29);
    EXPECT_TRUE(fired.empty());
    CFRunLoopAdvanceClock(5);
    EXPECT_EQ(fired, std::vector<std::string> { "after@30" });
}

TEST(SystemClock, TimerThatIsDueFiresWhenTheLoopRuns)
{
    bool fired = false;
    Ref<CFRunLoopTimer> timer
        = CFRunLoopTimerCreateWithHandler(CFAbsoluteTimeGetCurrent() - 1, 0, [&](CFRunLoopTimer*) { fired = true; });
    CFRunLoopAddTimer(CFRunLoopGetMain(), timer.get(), kCFRunLoopDefaultMode);
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false);
    EXPECT_TRUE(fired);
    EXPECT_FALSE(CFRunLoopTimerIsValid(timer.get()));
}

// A live device's clock: started from another instant, it runs with real time,
// and moving it on keeps it running.
TEST_F(SimulatedClock, ARunningClockFiresItsTimersAsRealTimePassesAndRunsOnWhenMoved)
{
    platform::runCurrentTimeFrom(startUnixTime);
    EXPECT_FALSE(platform::isCurrentTimePinned());
    Ref<CFRunLoopTimer> timer = CFRunLoopTimerCreateWithHandler(CFAbsoluteTimeGetCurrent() + 0.05, 0,
        [this](CFRunLoopTimer*) {
            fired.push_back("soon");
            CFRunLoopStop(CFRunLoopGetMain());
        });
    CFRunLoopAddTimer(CFRunLoopGetMain(), timer.get(), kCFRunLoopDefaultMode);
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 60, false);
    EXPECT_EQ(fired, std::vector<std::string> { "soon" });

    schedule("later", 3600, 0);
    CFRunLoopAdvanceClock(3600);
    EXPECT_EQ(fired, (std::vector<std::string> { "soon", "later@3600" }));
    EXPECT_FALSE(platform::isCurrentTimePinned());
    EXPECT_GE(CFAbsoluteTimeGetCurrent() - start, 3600);
}
