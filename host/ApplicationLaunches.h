// Applications coming to the foreground on a running SpringBoard, and the URLs
// that bring them there. SpringBoard owns one; a session reaches it through
// SpringBoard's own calls (foregroundApplication, pendingLaunch,
// setLaunchObserver).
//
// Every way into an application ends here, on the main thread:
// - LSApplicationWorkspace's -openURL:withOptions: and UIApplication's -openURL:,
//   from any thread: the application that registered the URL's scheme opens with
//   the URL. The caller hears at once whether one did (NO, and a log line, for a
//   scheme nobody registered); the launch itself is handed to the main run loop,
//   so it happens when the loop runs (dispatch_drain_queues() in a session);
// - SBUIController's -activateApplicationAnimated:, on the main thread (nil does
//   nothing and is logged).
// While the device is locked, nothing comes to the foreground: the launch is kept
// as the one pending launch (a later one replaces it) until SpringBoard unlocks,
// and then runs once. SpringBoard decides how the unlock happens (the passcode).
//
// Every URL opened and every application brought to the foreground is reported
// to the observer and written to the device log, with the thread the call came
// from: "main", or the label of the dispatch queue it ran on.
#pragma once

#include <host/Export.h>
#include <host/SBApplication.h>

#include <Foundation/NSDictionary.h>
#include <Foundation/NSURL.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace host {

struct LaunchReport {
    enum class Kind {
        // A URL handed to the system; `application` is the one that registered
        // its scheme, empty when none did.
        URLOpened,
        // An application came to the foreground; `url` is the one it opened
        // with, empty for an activation.
        ApplicationLaunched,
    };
    Kind kind;
    std::string url;
    std::string application; // bundle identifier
    std::string shows; // what the application shows, for a launch
    std::string thread; // as currentThreadName() says
    // A URL's launch options asked to unlock the device ("__UnlockDevice" or
    // "__PromptUnlockDevice"). A locked device waits for its unlock either way.
    bool asksToUnlock = false;
};

// The application in front and what it shows, such as the calendar
// application's "Team sync, Tue 8 Dec 2026 at 14:00 Europe/Berlin" or the URL an
// outside application opened with.
struct ForegroundApplication {
    std::string bundleIdentifier;
    std::string displayName;
    std::string shows;
};

// What the device asks of its owner while launches come and go.
class HOST_EXPORT LaunchGate {
public:
    virtual ~LaunchGate() = default;
    virtual bool isLocked() const = 0;
    // A launch is waiting for the device to unlock: SpringBoard unlocks at once
    // or asks for the passcode.
    virtual void unlockForLaunch() = 0;
};

class HOST_EXPORT ApplicationLaunches : public std::enable_shared_from_this<ApplicationLaunches> {
public:
    using Observer = std::function<void(const LaunchReport&)>;

    // Make it with `std::make_shared`, then `install` it: it is the opener of URLs
    // and the activator of applications until destroyed, or until another one is
    // installed.
    explicit ApplicationLaunches(LaunchGate& gate);
    ~ApplicationLaunches();
    ApplicationLaunches(const ApplicationLaunches&) = delete;
    ApplicationLaunches& operator=(const ApplicationLaunches&) = delete;
    void install();

    void setObserver(Observer observer) { observer_ = std::move(observer); }

    const std::optional<ForegroundApplication>& foregroundApplication() const { return foreground_; }
    // "com.apple.mobilecal with x-apple-calevent://…", or nothing.
    std::optional<std::string> pendingLaunch() const;

    // Main thread. Runs the pending launch, once; the device has just unlocked.
    void runPendingLaunch();
    void dropPendingLaunch();
    // The device locked: the application in front goes to the background.
    void returnToLockScreen();

    // Main thread: opens `application`, with `url` or none, now or after the unlock.
    void launch(SBApplication* application, NSURL* url);

private:
    struct Launch {
        Ref<SBApplication> application;
        Ref<NSURL> url;
    };

    // Main thread: a URL the workspace took, as its report says.
    void open(NSURL* url, const LaunchReport& opened);
    void bringToForeground(const Launch& launch);
    void report(const LaunchReport& report);

    LaunchGate& gate_;
    Observer observer_;
    std::optional<ForegroundApplication> foreground_;
    std::optional<Launch> pending_;
};

// "main" on the main thread, the label of the dispatch queue running the caller
// on another, "a thread of its own" on a thread no queue runs.
HOST_EXPORT std::string currentThreadName();

} // namespace host
