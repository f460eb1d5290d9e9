// A `simulate` script's text through the parser and, when it reads, played on a
// freshly booted device with the sample calendars and the extension loaded.
// Only the first steps are played, so that one input stays well under a second;
// snapshots go to one file in the device root, wherever the script names them.
#include "FuzzSupport.h"

#include "Command.h"
#include "DeviceSession.h"
#include "SimulationPlayer.h"

#include <platform/Log.h>

#include <cstdio>
#include <variant>

namespace {

constexpr std::size_t maxSteps = 24;

// Every snapshot into the same file in the device root, and at most `maxSteps` steps.
std::vector<simulation::Step> boundedSession(std::vector<simulation::Step> steps)
{
    if (steps.size() > maxSteps)
        steps.resize(maxSteps);
    for (simulation::Step& step : steps)
        if (auto* snapshot = std::get_if<simulation::Snapshot>(&step.action))
            snapshot->file = (fuzzing::deviceRoot() / "snapshot.png").string();
    return steps;
}

void play(const std::vector<simulation::Step>& steps)
{
    host::Device device = bootDevice({ .root = fuzzing::deviceRoot().string() });
    checkExtensionLoaded(device);
    SimulationPlayer(device, false).play(steps);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The players' reports are not what is tested here.
    if (!std::freopen("/dev/null", "w", stdout))
        return 1;
    fuzzing::installSampleDevice();
    fuzzing::warmUp("wake\nnotify Mail Lunch\nstate\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<simulation::Step> steps;
    try {
        steps = simulation::parseScript(std::string(fuzzing::asText(data, size)), sessionChecks());
    } catch (const simulation::ScriptError&) {
        return 0;
    }
    try {
        play(boundedSession(std::move(steps)));
    } catch (const simulation::ScriptError&) {
        // A step the device refuses ends the session, as it ends the command.
    }
    fuzzing::restoreSamplePreferences();
    fuzzing::restoreHost();
    platform::clearLog();
    return 0;
}
