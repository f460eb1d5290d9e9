// The simulated SpringBoard: its classes, registered in the runtime under
// SpringBoard's own names so that an extension finds, hooks and extends them by
// name, and the lock screen of one booted device, driven only through what
// SpringBoard itself does.
#pragma once

#include <host/ApplicationLaunches.h>
#include <host/DeviceModel.h>
#include <host/Export.h>
#include <host/SBDashBoardMainPageViewController.h>

#include <objc/message.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Kept out of this header: CoreFoundation's `Boolean` would shadow the enumerators of
// that name in the files that include it.
class CFRunLoopTimer;

namespace host {

// Registers every SpringBoard class. Must run before any extension is loaded: an
// extension looks the classes up from its initialiser.
HOST_EXPORT void registerSpringBoardClasses();

// `[[T alloc] init]` through the runtime, so that a hooked -init runs exactly as
// SpringBoard's own would. Nil when -init answers nil or an object of another class.
template <typename T> Ref<T> allocInit(Class cls = T::classObject())
{
    Ref<NSObject> allocated = Ref<NSObject>::adopt(objc_msgSend<id>(cls, "alloc"));
    return Ref<T>(dynamicCast<T>(objc_msgSend<id>(allocated.get(), "init")));
}

// `[super selector]`: the superclass's implementation as it stands now, hooks
// included. Checked like objc_msgSend: a call whose types disagree with the
// method's encoding is refused with an NSException.
template <typename R = void, typename... Args>
R sendSuper(Class superclass, id self, const char* selector, Args... args)
{
    SEL op = sel_registerName(selector);
    using Fn = objc::Wire<R> (*)(id, SEL, objc::Wire<Args>...);
    auto fn = reinterpret_cast<Fn>(objc::lookUp<R, Args...>(self, superclass, op));
    return static_cast<R>(fn(self, op, static_cast<objc::Wire<Args>>(args)...));
}

// The lock screen of one device for as long as the device runs: the main page, its
// content controller, the notification list with its collection view, the pages
// presented on it, whether the screen is on and whether the device is locked.
//
// It starts with the screen off and the device locked. Every step is what
// SpringBoard does on the phone, and reaches the controllers through the runtime,
// so that an extension's hooks run exactly as there:
// - the lock screen comes into view when the screen wakes while locked: the main
//   page, its content and the presented pages appear, the notification list is
//   reloaded and -_addOrRemoveNotificationsListIfNecessaryAnimated: runs;
// - a notification arriving or being cleared reloads the list and runs that method
//   again; an arrival wakes a dark, locked screen;
// - a rotation or another device size sends -viewWillTransitionToSize:…;
// - unlocking sends an SBDashBoardEvent of type 4 to -handleEvent:, then the lock
//   screen leaves view;
// - after a wake, and after every activity on the lock screen, the idle timer asks
//   the main page for -idleTimerDuration and, on the main run loop's clock, turns
//   the screen off once that many seconds pass without activity. SpringBoard's
//   own duration is SBDashBoardMainPageViewController::defaultIdleTimerDuration.
//
// Applications and the passcode (ApplicationLaunches.h says how URLs and
// activations reach an application):
// - the device may have a passcode, read at start from the device's SpringBoard
//   preferences, "/var/mobile/Library/Preferences/com.apple.springboard.plist",
//   string key "DevicePasscode" (absent or empty: none), or set with setPasscode;
// - unlock() without a passcode unlocks at once; with one it wakes the screen and
//   shows the passcode prompt, and the device stays locked until enterPasscode
//   gets the right one. A wrong one opens nothing and leaves the prompt up;
//   cancelPasscodePrompt() takes it down and drops the pending launch;
// - while locked, every launch (a URL opened with or without the unlock options,
//   an activation) waits: without a passcode the device unlocks and the
//   application opens at once; with one the prompt shows, and after the right
//   passcode the one pending launch runs, once;
// - locking, by the button or the idle timer, sends the application in front to
//   the background, takes the prompt down and drops the pending launch.
// The URLs opened from another thread reach the main run loop's queue: a session
// lets them run with dispatch_drain_queues().
class HOST_EXPORT SpringBoard : private LaunchGate {
public:
    // Registers the classes and builds the controller tree through the runtime.
    explicit SpringBoard(
        const DeviceModel& model = defaultDeviceModel(), Orientation orientation = Orientation::Portrait);
    ~SpringBoard() override;
    SpringBoard(const SpringBoard&) = delete;
    SpringBoard& operator=(const SpringBoard&) = delete;

    // The steps.
    void wake();
    void notify(std::string_view app, std::string_view title, std::string_view message = {});
    // Clears the newest `count` notifications, or all of them.
    void clear(std::size_t count);
    void clearAll();
    void rotate(Orientation orientation);
    void setDeviceModel(const DeviceModel& model);
    // Time passes without activity: the simulated clock moves on, and the main
    // run loop's timers due on the way fire.
    void idle(double seconds);
    void unlock();
    // The lock button: locks and turns the screen off.
    void lock();
    // Empty for none; takes effect at the next unlock.
    void setPasscode(std::string passcode);
    // Unlocks when locked and `passcode` is the device's, then runs the pending
    // launch; answers whether it unlocked. A wrong one shows the prompt; a
    // device without a passcode unlocks whatever is typed.
    bool enterPasscode(std::string_view passcode);
    void cancelPasscodePrompt();

    // The state.
    bool isScreenOn() const { return screenOn_; }
    bool isLocked() const override { return locked_; }
    bool isLockScreenVisible() const { return screenOn_ && locked_; }
    bool hasPasscode() const { return !passcode_.empty(); }
    bool isPasscodePromptShown() const { return passcodePromptShown_; }
    const std::optional<ForegroundApplication>& foregroundApplication() const
    {
        return launches_->foregroundApplication();
    }
    // "com.apple.mobilecal with x-apple-calevent://…" while a launch waits for the unlock.
    std::optional<std::string> pendingLaunch() const { return launches_->pendingLaunch(); }
    // Hears of every URL opened and every application brought to the foreground.
    void setLaunchObserver(ApplicationLaunches::Observer observer) { launches_->setObserver(std::move(observer)); }
    const DeviceModel& deviceModel() const { return model_; }
    Orientation orientation() const { return orientation_; }
    LockScreenLayout layout() const { return lockScreenLayout(model_, orientation_); }
    // What the main page answered when the idle timer was last armed; 0 before.
    long long idleTimerDuration() const { return idleTimerDuration_; }

    SBDashBoardMainPageViewController* mainPage() const { return mainPage_.get(); }
    SBDashBoardMainPageContentViewController* content() const { return mainPage_->contentViewController(); }
    NCNotificationPriorityListViewController* notificationList() const
    {
        return content()->notificationViewController();
    }
    bool isNotificationListShown() const { return notificationList()->presenter() != nullptr; }
    // The screen-sized view of the lock screen's controllers (the main page's
    // view), laid out; a renderer draws the wallpaper and the layout's status
    // bar, clock and date under it.
    UIView* rootView() const;

private:
    void unlockForLaunch() override { unlock(); }
    void showPasscodePrompt();
    void completeUnlock();
    void addOrRemoveNotificationsList();
    void showLockScreen();
    void hideLockScreen();
    void screenOff();
    void sendEvent(NSInteger type);
    void armIdleTimer();
    void stopIdleTimer();
    void transitionTo(const DeviceModel& model, Orientation orientation);
    void applyLayout();

    Ref<SBDashBoardMainPageViewController> mainPage_;
    DeviceModel model_;
    Orientation orientation_;
    bool screenOn_ = false;
    bool locked_ = true;
    long long idleTimerDuration_ = 0;
    Ref<CFRunLoopTimer> idleTimer_;
    std::string passcode_;
    bool passcodePromptShown_ = false;
    std::shared_ptr<ApplicationLaunches> launches_;
};

} // namespace host
