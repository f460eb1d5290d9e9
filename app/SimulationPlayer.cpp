#include "SimulationPlayer.h"

#include "PngOutput.h"
#include "SimulationGestures.h"
#include "StandardOutput.h"

#include "Command.h"
#include "DeviceChoice.h"
#include "ListOptions.h"
#include "PreferenceFile.h"

#include <CoreFoundation/CFRunLoop.h>
#include <dispatch/dispatch.h>
#include <host/LockScreenScene.h>
#include <platform/Environment.h>
#include <platform/Log.h>

#include <cstdio>

namespace {

template <typename... Steps> struct Overloaded : Steps... {
    using Steps::operator()...;
};
// Spelled out for clang before 17, which does not deduce an aggregate's arguments.
template <typename... Steps> Overloaded(Steps...) -> Overloaded<Steps...>;

// The event list a finger can reach: the one on the lock screen in front.
UIView* eventListOn(const host::SpringBoard& springBoard, const LockScreenState& now)
{
    if (!springBoard.isLockScreenVisible())
        throw std::runtime_error("the lock screen is not in front");
    UIView* list = now.placement == LockScreenState::Placement::Footer ? now.footerTable.get() : now.ownPageTable.get();
    if (!list)
        throw std::runtime_error("the lock screen shows no event list");
    return list;
}

UIScrollView* notificationsOn(const host::SpringBoard& springBoard)
{
    if (!springBoard.isLockScreenVisible())
        throw std::runtime_error("the lock screen is not in front");
    if (!springBoard.isNotificationListShown())
        throw std::runtime_error("the lock screen shows no notifications");
    return springBoard.notificationList()->collectionView();
}

std::string pointText(CGPoint point)
{
    char text[64];
    std::snprintf(text, sizeof text, "(%g, %g)", point.x, point.y);
    return text;
}

// "open URL x-apple-calevent://… in com.apple.mobilecal, asking to unlock, from
// com.apple.root.default-qos".
std::string launchText(const host::LaunchReport& launch)
{
    if (launch.kind == host::LaunchReport::Kind::URLOpened)
        return "open URL " + launch.url + " in "
            + (launch.application.empty() ? std::string("nothing: no application takes it") : launch.application)
            + (launch.asksToUnlock ? ", asking to unlock" : "") + ", from " + launch.thread;
    return "launched " + launch.application + " showing " + launch.shows + ", from " + launch.thread;
}

nlohmann::ordered_json launchJSON(const host::LaunchReport& launch)
{
    const bool opened = launch.kind == host::LaunchReport::Kind::URLOpened;
    return { { "kind", opened ? "url" : "launch" }, { "url", launch.url }, { "application", launch.application },
        { "shows", opened ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(launch.shows) },
        { "asksToUnlock", opened ? nlohmann::ordered_json(launch.asksToUnlock) : nlohmann::ordered_json(nullptr) },
        { "thread", launch.thread } };
}

} // namespace

simulation::ScriptChecks sessionChecks()
{
    return { deviceModelProblem, preferenceProblem, isoTimeProblem, timeZoneProblem, localeProblem, pictureFileProblem };
}

nlohmann::ordered_json StepReport::json() const
{
    nlohmann::ordered_json launchList = nlohmann::ordered_json::array();
    for (const host::LaunchReport& launch : launches)
        launchList.push_back(launchJSON(launch));
    nlohmann::ordered_json object = { { "line", line }, { "step", step }, { "gestures", gestures }, { "log", log },
        { "launches", launchList }, { "changes", changes } };
    if (state)
        object["state"] = state->json();
    return object;
}

std::string StepReport::text() const
{
    std::string text = std::to_string(line) + ": " + step + "\n";
    auto add = [&](const std::string& entry) { text += "    " + entry + "\n"; };
    for (const std::string& gesture : gestures)
        add(gesture);
    for (const std::string& entry : log)
        add("log: " + entry);
    for (const host::LaunchReport& launch : launches)
        add(launchText(launch));
    for (const std::string& change : changes)
        add(change);
    if (state) {
        const std::string lines = state->text();
        for (std::size_t start = 0, end; start < lines.size(); start = end + 1) {
            end = lines.find('\n', start);
            add(lines.substr(start, end - start));
        }
    }
    return text;
}

SimulationPlayer::SimulationPlayer(host::Device& device, bool json)
    : springBoard_(device.springBoard())
    , json_(json)
{
    springBoard_.setLaunchObserver([this](const host::LaunchReport& launch) { launches_.push_back(launch); });
}

SimulationPlayer::~SimulationPlayer()
{
    springBoard_.setLaunchObserver({});
}

void SimulationPlayer::play(const std::vector<simulation::Step>& steps)
{
    for (const simulation::Step& step : steps) {
        const StepReport report = play(step);
        printOutput("%s", json_ ? (report.json().dump() + "\n").c_str() : report.text().c_str());
        flushOutput();
    }
}

StepReport SimulationPlayer::play(const simulation::Step& step)
{
    StepReport report { .line = step.line, .step = step.text };
    const std::size_t logged = platform::logLinesWritten();
    const LockScreenState before = LockScreenState::read(springBoard_);
    launches_.clear();
    try {
        report.gestures = perform(step.action, before);
        // What the step sent to the queues (a URL opened on a background
        // queue) and posted (a preference change) is done before the next.
        dispatch_drain_queues();
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false);
    } catch (const std::exception& error) {
        throw simulation::ScriptError(step.line, step.text + ": " + error.what());
    }
    report.log = platform::loggedLinesSince(logged);
    report.launches = std::exchange(launches_, {});
    LockScreenState after = LockScreenState::read(springBoard_);
    report.changes = changesBetween(before, after);
    if (std::holds_alternative<simulation::State>(step.action))
        report.state = std::move(after);
    return report;
}

std::vector<std::string> SimulationPlayer::perform(const simulation::Action& action, const LockScreenState& now)
{
    using namespace simulation;
    std::vector<std::string> gestures;
    UIScrollView* touched = touchedView(action, now);
    if (heldFinger_ && heldFinger_->view() != touched) {
        gestures.push_back("let go at " + pointText(heldFinger_->lift()));
        heldFinger_.reset();
    }
    std::visit(Overloaded {
                   [&](const Wake&) { springBoard_.wake(); },
                   [&](const Notify& step) { springBoard_.notify(step.app, step.title, step.message); },
                   [&](const Clear& step) {
                       if (step.count)
                           springBoard_.clear(static_cast<std::size_t>(*step.count));
                       else
                           springBoard_.clearAll();
                   },
                   [&](const Rotate& step) {
                       springBoard_.rotate(step.landscape ? host::Orientation::Landscape : host::Orientation::Portrait);
                   },
                   [&](const SwitchDevice& step) { springBoard_.setDeviceModel(deviceModelNamed(step.model)); },
                   [&](const Idle& step) { springBoard_.idle(step.seconds); },
                   [&](const Unlock& step) {
                       if (step.passcode)
                           springBoard_.enterPasscode(*step.passcode);
                       else
                           springBoard_.unlock();
                   },
                   [&](const Lock&) { springBoard_.lock(); },
                   [&](const Authenticate&) { springBoard_.authenticate(); },
                   [&](const SetPasscode& step) { springBoard_.setPasscode(step.passcode); },
                   [&](const CancelPrompt&) { springBoard_.cancelPasscodePrompt(); },
                   [&](const Swipe& step) {
                       gestures.push_back(moveFinger(touched, pullTravel(*touched, step.distance), step.hold));
                   },
                   [&](const DragList& step) {
                       gestures.push_back(touched ? moveFinger(touched, CGPointMake(0, step.distance), step.hold)
                                                  : "the list does not scroll");
                   },
                   [&](const SetPreference& step) {
                       storePreference(*findPreferenceKey(step.key), step.value, ValueType::Pane);
                   },
                   [&](const ChooseCalendars& step) { writeCalendarList(step.identifiers); },
                   [&](const SetTime& step) {
                       const Ref<NSDate> time = isoTimeInDeviceZone(step.isoTime);
                       if (!time)
                           throw std::runtime_error("'" + step.isoTime + "' lies beyond the calendar");
                       platform::setCurrentTime(time->timeIntervalSince1970());
                   },
                   [&](const SetTimeZone& step) { platform::setCurrentTimeZoneIdentifier(step.identifier); },
                   [&](const SetLocale& step) { platform::setCurrentLocaleIdentifier(step.identifier); },
                   [&](const Snapshot& step) { snapshot(step.file); },
                   [&](const State&) {},
               },
        action);
    return gestures;
}

UIScrollView* SimulationPlayer::touchedView(const simulation::Action& action, const LockScreenState& now) const
{
    if (const auto* swipe = std::get_if<simulation::Swipe>(&action))
        return simulation::rowScrollView(eventListOn(springBoard_, now), swipe->section, swipe->row);
    if (const auto* drag = std::get_if<simulation::DragList>(&action))
        return drag->target == simulation::DragList::Target::EventList
            ? simulation::listScrollView(eventListOn(springBoard_, now))
            : notificationsOn(springBoard_);
    return nullptr;
}

// Touches the view unless the held finger is already on it, moves the finger,
// and lets go unless it is to be held.
std::string SimulationPlayer::moveFinger(UIScrollView* view, CGPoint travel, bool hold)
{
    if (!heldFinger_)
        heldFinger_ = simulation::Finger::touch(view);
    if (!heldFinger_)
        throw std::runtime_error("it does not move");
    heldFinger_->moveTo(travel);
    if (hold)
        return "holding at " + pointText(view->contentOffset());
    const CGPoint release = heldFinger_->lift();
    heldFinger_.reset();
    return "let go at " + pointText(release);
}

// The screen as it looks now, at the device's own scale: black while it is off.
void SimulationPlayer::snapshot(const std::string& file)
{
    const host::DeviceModel& model = springBoard_.deviceModel();
    auto scene = makeRef<LockScreenScene>(model, springBoard_.orientation());
    scene->showSpringBoard(springBoard_);
    Ref<UIImage> image = scene->snapshot(model.scale);
    scene->setContent(nullptr);
    writePng(*image, file);
}
