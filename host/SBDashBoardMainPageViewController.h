// The lock screen's main page: the page with the clock, whose content controller
// shows the notification list. It tells SpringBoard how long the lock screen may
// stay idle before the display turns off. Its view holds the content's view,
// filling it.
#pragma once

#include <host/Export.h>
#include <host/SBDashBoardMainPageContentViewController.h>

class HOST_EXPORT SBDashBoardMainPageViewController
    : public objc::Subclass<SBDashBoardMainPageViewController, SBDashBoardViewControllerBase> {
public:
    static Class classObject();

    // SpringBoard's own idle time-out for the lock screen, in its own unit
    // (seconds): iOS 10 turns a woken, untouched lock screen off after about 8.
    static constexpr long long defaultIdleTimerDuration = 8;

    // What -idleTimerDuration answers while no extension replaces it.
    void setIdleTimerDuration(long long duration) { idleTimerDuration_ = duration; }

    // Made by -init.
    SBDashBoardMainPageContentViewController* contentViewController() const { return contentViewController_.get(); }

    void viewDidLoad() override;

private:
    static id init(id self, SEL);
    static long long idleTimerDuration(id self, SEL);

    long long idleTimerDuration_ = defaultIdleTimerDuration;
    Ref<SBDashBoardMainPageContentViewController> contentViewController_;
};
