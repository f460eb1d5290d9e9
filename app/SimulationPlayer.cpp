#include "SimulationPlayer.h"

#include "PngOutput.h"

#include "Command.h"
#include "DeviceChoice.h"
#include "PreferenceFile.h"

#include <CoreFoundation/CFRunLoop.h>
#include <host/LockScreenScene.h>
#include <platform/Log.h>

#include <cstdio>

namespace {

template <typename... Steps> struct Overloaded : Steps... {
    using Steps::operator()...;
};
// Spelled out for clang before 17, which does not deduce an aggregate's arguments.
template <typename... Steps> Overloaded(Steps...) -> Overloaded<Steps...>;

// The log lines written since `from`.
std::vector<std::string> logSince(std::size_t from)
{
    std::vector<std::string> lines = platform::loggedLines();
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(from, lines.size())));
    return lines;
}

} // namespace

SimulationPlayer::SimulationPlayer(host::Device& device, void* extension, bool json)
    : springBoard_(device.springBoard())
    , extension_(extension)
    , json_(json)
{
}

void SimulationPlayer::play(const std::vector<simulation::Step>& steps)
{
    for (const simulation::Step& step : steps) {
        const std::size_t logged = platform::loggedLines().size();
        const LockScreenState before = LockScreenState::read(springBoard_, extension_);
        try {
            perform(step.action);
            // What the step posted (a preference change) is delivered before the next.
            CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false);
        } catch (const std::exception& error) {
            throw CommandError("line " + std::to_string(step.line) + " (" + step.text + "): " + error.what());
        }
        const LockScreenState after = LockScreenState::read(springBoard_, extension_);
        report(step, logSince(logged), changesBetween(before, after), after);
    }
}

void SimulationPlayer::perform(const simulation::Action& action)
{
    using namespace simulation;
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
                   [&](const Unlock&) { springBoard_.unlock(); },
                   [&](const Lock&) { springBoard_.lock(); },
                   [&](const SetPreference& step) {
                       storePreference(*findPreferenceKey(step.key), step.value, ValueType::Pane);
                   },
                   [&](const Snapshot& step) { snapshot(step.file); },
                   [&](const State&) {},
               },
        action);
}

// The screen as it looks now, at the device's own scale: black while it is off.
void SimulationPlayer::snapshot(const std::string& file)
{
    const host::DeviceModel& model = springBoard_.deviceModel();
    auto scene = Ref<LockScreenScene>::adopt(new LockScreenScene(model, springBoard_.orientation()));
    if (springBoard_.isScreenOn())
        scene->setContent(springBoard_.rootView());
    scene->setScreenOn(springBoard_.isScreenOn());
    scene->setLockScreenShown(springBoard_.isLocked());
    Ref<UIImage> image = scene->snapshot(model.scale);
    scene->setContent(nullptr);
    writePng(*image, file);
}

void SimulationPlayer::report(const simulation::Step& step, const std::vector<std::string>& log,
    const std::vector<std::string>& changes, const LockScreenState& state) const
{
    const bool asksForState = std::holds_alternative<simulation::State>(step.action);
    if (json_) {
        nlohmann::ordered_json line
            = { { "line", step.line }, { "step", step.text }, { "log", log }, { "changes", changes } };
        if (asksForState)
            line["state"] = state.json();
        std::printf("%s\n", line.dump().c_str());
    } else {
        std::printf("%d: %s\n", step.line, step.text.c_str());
        for (const std::string& entry : log)
            std::printf("    log: %s\n", entry.c_str());
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
