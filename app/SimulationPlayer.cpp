#include "SimulationPlayer.h"

#include "PngOutput.h"
#include "SimulationGestures.h"

#include "Command.h"
#include "DeviceChoice.h"
#include "PreferenceFile.h"

#include <CoreFoundation/CFRunLoop.h>
#include <dispatch/dispatch.h>
#include <host/LockScreenScene.h>
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
        const std::size_t logged = platform::logLinesWritten();
        const LockScreenState before = LockScreenState::read(springBoard_);
        launches_.clear();
        Outcome outcome;
        try {
            outcome.gestures = perform(step.action, before);
            // What the step sent to the queues (a URL opened on a background
            // queue) and posted (a preference change) is done before the next.
            dispatch_drain_queues();
            CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false);
        } catch (const std::exception& error) {
            throw CommandError("line " + std::to_string(step.line) + " (" + step.text + "): " + error.what());
        }
        outcome.log = platform::loggedLinesSince(logged);
        outcome.launches = std::exchange(launches_, {});
        const LockScreenState after = LockScreenState::read(springBoard_);
        report(step, outcome, changesBetween(before, after), after);
    }
}

std::vector<std::string> SimulationPlayer::perform(const simulation::Action& action, const LockScreenState& now)
{
    using namespace simulation;
    std::vector<std::string> gestures;
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
                   [&](const SetPasscode& step) { springBoard_.setPasscode(step.passcode); },
                   [&](const CancelPrompt&) { springBoard_.cancelPasscodePrompt(); },
                   [&](const Swipe& step) {
                       const CGPoint release
                           = pullRow(eventListOn(springBoard_, now), step.section, step.row, step.distance);
                       gestures.push_back("let go at " + pointText(release));
                   },
                   [&](const DragList& step) {
                       const std::optional<CGPoint> release = dragList(eventListOn(springBoard_, now), step.distance);
                       gestures.push_back(release ? "let go at " + pointText(*release) : "the list does not scroll");
                   },
                   [&](const SetPreference& step) {
                       storePreference(*findPreferenceKey(step.key), step.value, ValueType::Pane);
                   },
                   [&](const Snapshot& step) { snapshot(step.file); },
                   [&](const State&) {},
               },
        action);
    return gestures;
}

// The screen as it looks now, at the device's own scale: black while it is off.
void SimulationPlayer::snapshot(const std::string& file)
{
    const host::DeviceModel& model = springBoard_.deviceModel();
    auto scene = makeRef<LockScreenScene>(model, springBoard_.orientation());
    if (springBoard_.isScreenOn())
        scene->setContent(springBoard_.rootView());
    scene->setScreenOn(springBoard_.isScreenOn());
    scene->setLockScreenShown(springBoard_.isLocked());
    scene->setLaunchPending(springBoard_.pendingLaunch().has_value());
    Ref<UIImage> image = scene->snapshot(model.scale);
    scene->setContent(nullptr);
    writePng(*image, file);
}

void SimulationPlayer::report(const simulation::Step& step, const Outcome& outcome,
    const std::vector<std::string>& changes, const LockScreenState& state) const
{
    const bool asksForState = std::holds_alternative<simulation::State>(step.action);
    if (json_) {
        nlohmann::ordered_json launches = nlohmann::ordered_json::array();
        for (const host::LaunchReport& launch : outcome.launches)
            launches.push_back(launchJSON(launch));
        nlohmann::ordered_json line = { { "line", step.line }, { "step", step.text }, { "gestures", outcome.gestures },
            { "log", outcome.log }, { "launches", launches }, { "changes", changes } };
        if (asksForState)
            line["state"] = state.json();
        std::printf("%s\n", line.dump().c_str());
    } else {
        std::printf("%d: %s\n", step.line, step.text.c_str());
        for (const std::string& gesture : outcome.gestures)
            std::printf("    %s\n", gesture.c_str());
        for (const std::string& entry : outcome.log)
            std::printf("    log: %s\n", entry.c_str());
        for (const host::LaunchReport& launch : outcome.launches)
            std::printf("    %s\n", launchText(launch).c_str());
        for (const std::string& change : changes)
            std::printf("    %s\n", change.c_str());
        if (asksForState) {
            const std::string text = state.text();
            for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
                end = text.find('\n', start);
                std::printf("    %s\n", text.substr(start, end - start).c_str());
            }
        }
    }
    std::fflush(stdout);
}
