#include "LockScreenFixture.h"

#include <host/SBDashBoardEvent.h>

TEST_F(LockScreen, TheCustomTimeoutTurnsTheScreenOffAfterItsSeconds)
{
    customLSTimeoutEnabled = YES;
    customLSTimeout = 30;
    springBoard().wake();
    springBoard().idle(29);
    EXPECT_TRUE(springBoard().isScreenOn());
    springBoard().idle(1);
    EXPECT_FALSE(springBoard().isScreenOn());
    EXPECT_TRUE(springBoard().isLocked());
}

TEST_F(LockScreen, WithoutTheCustomTimeoutSpringBoardsOwnHolds)
{
    const double own = SBDashBoardMainPageViewController::defaultIdleTimerDuration;
    customLSTimeout = 30;
    springBoard().wake();
    springBoard().idle(own - 1);
    springBoard().notify("Messages", "Anna", "Lunch?"); // activity: the time-out starts again
    springBoard().idle(own - 1);
    EXPECT_TRUE(springBoard().isScreenOn());
    springBoard().idle(1);
    EXPECT_FALSE(springBoard().isScreenOn());
}

TEST_F(LockScreen, UnlockingSendsTheDismissalAndOtherStepsOtherTypes)
{
    springBoard().wake();
    springBoard().unlock();
    springBoard().lock();
    EXPECT_EQ(springBoard().content()->receivedEventTypes(),
        (std::vector<NSInteger> { SBDashBoardEvent::screenDidTurnOnType, SBDashBoardEvent::lockScreenWillDismissType,
            SBDashBoardEvent::screenWillTurnOffType }));
    EXPECT_FALSE(springBoard().mainPage()->isVisible());
    springBoard().idle(100); // nothing on screen to time out
    EXPECT_FALSE(springBoard().isScreenOn());
}
