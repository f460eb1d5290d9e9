#include <host/ApplicationLaunches.h>

#include <host/CalendarApplication.h>
#include <host/SBApplicationController.h>
#include <host/SBUIController.h>

#include <Foundation/NSLog.h>
#include <Foundation/NSValue.h>
#include <MobileCoreServices/LSApplicationWorkspace.h>
#include <dispatch/dispatch.h>

namespace host {
namespace {

std::string identifierOf(const SBApplication& application)
{
    return application.bundleIdentifier()->UTF8String();
}

std::string textOf(const NSURL* url)
{
    return url ? url->absoluteString()->UTF8String() : std::string();
}

// The launches that open URLs and activate applications now; main thread only.
const ApplicationLaunches* installed = nullptr;

bool asksToUnlock(const NSDictionary* options)
{
    const auto isSet = [options](const char* key) {
        auto* value = options ? dynamicCast<NSNumber>(options->objectForKey(key)) : nullptr;
        return value && value->boolValue();
    };
    return isSet("__UnlockDevice") || isSet("__PromptUnlockDevice");
}

// What an application shows once it opened with `url`, or with none.
std::string whatItShows(const SBApplication& application, const NSURL* url)
{
    if (identifierOf(application) == calendarApplicationIdentifier)
        return calendarApplicationShows(url);
    return url ? textOf(url) : "its first screen";
}

} // namespace

std::string currentThreadName()
{
    const std::string label = dispatch_queue_get_label(DISPATCH_CURRENT_QUEUE_LABEL);
    return label == dispatch_queue_get_label(dispatch_get_main_queue()) ? "main" : label;
}

ApplicationLaunches::ApplicationLaunches(LaunchGate& gate)
    : gate_(gate)
{
}

// Another SpringBoard may have taken over meanwhile; its launches stay.
ApplicationLaunches::~ApplicationLaunches()
{
    if (installed != this)
        return;
    installed = nullptr;
    LSApplicationWorkspace::defaultWorkspace()->setOpener(nullptr);
    SBUIController::sharedInstance()->setActivator(nullptr);
}

// The workspace may call from any thread and outlive this object: the opener holds
// it weakly and does no more on the caller's thread than find the scheme's owner.
void ApplicationLaunches::install()
{
    installed = this;
    std::weak_ptr<ApplicationLaunches> weak = weak_from_this();
    LSApplicationWorkspace::defaultWorkspace()->setOpener([weak](NSURL* url, NSDictionary* options) {
        LaunchReport report { LaunchReport::Kind::URLOpened, textOf(url),
            SBApplicationController::sharedInstance()->bundleIdentifierForURLScheme(url->scheme()), {},
            currentThreadName(), asksToUnlock(options) };
        const bool taken = !report.application.empty();
        dispatch_async(dispatch_get_main_queue(), [weak, url = Ref<NSURL>(url), report = std::move(report)] {
            if (std::shared_ptr<ApplicationLaunches> self = weak.lock())
                self->open(url.get(), report);
        });
        return taken;
    });
    SBUIController::sharedInstance()->setActivator(
        [this](SBApplication* application) { launch(application, nullptr); });
}

void ApplicationLaunches::open(NSURL* url, const LaunchReport& opened)
{
    report(opened);
    if (opened.application.empty()) {
        NSLog("SpringBoard: no application opens %s", opened.url.c_str());
        return;
    }
    // The register may have been read again meanwhile; then the owner may be gone.
    if (SBApplication* owner
        = SBApplicationController::sharedInstance()->applicationWithDisplayIdentifier(opened.application))
        launch(owner, url);
}

std::optional<std::string> ApplicationLaunches::pendingLaunch() const
{
    if (!pending_)
        return std::nullopt;
    const std::string application = identifierOf(*pending_->application);
    return pending_->url ? application + " with " + textOf(pending_->url.get()) : application;
}

void ApplicationLaunches::launch(SBApplication* application, NSURL* url)
{
    Launch wanted { application, url };
    if (!gate_.isLocked()) {
        bringToForeground(wanted);
        return;
    }
    pending_ = std::move(wanted);
    NSLog("SpringBoard: %s waits for the device to unlock", pendingLaunch()->c_str());
    gate_.unlockForLaunch();
}

void ApplicationLaunches::runPendingLaunch()
{
    std::optional<Launch> launch = std::exchange(pending_, std::nullopt);
    if (launch)
        bringToForeground(*launch);
}

void ApplicationLaunches::dropPendingLaunch()
{
    if (std::optional<std::string> dropped = pendingLaunch())
        NSLog("SpringBoard: dropped the launch of %s", dropped->c_str());
    pending_.reset();
}

void ApplicationLaunches::returnToLockScreen()
{
    dropPendingLaunch();
    foreground_.reset();
}

void ApplicationLaunches::bringToForeground(const Launch& launch)
{
    const SBApplication& application = *launch.application;
    foreground_ = ForegroundApplication { identifierOf(application), application.displayName()->UTF8String(),
        whatItShows(application, launch.url.get()) };
    report({ LaunchReport::Kind::ApplicationLaunched, textOf(launch.url.get()), foreground_->bundleIdentifier,
        foreground_->shows, currentThreadName() });
}

void ApplicationLaunches::report(const LaunchReport& report)
{
    if (report.kind == LaunchReport::Kind::URLOpened)
        NSLog("SpringBoard: open URL %s (thread %s%s)", report.url.c_str(), report.thread.c_str(),
            report.asksToUnlock ? ", asks to unlock" : "");
    else
        NSLog("SpringBoard: %s comes to the foreground showing %s (thread %s)", report.application.c_str(),
            report.shows.c_str(), report.thread.c_str());
    if (observer_)
        observer_(report);
}

} // namespace host
