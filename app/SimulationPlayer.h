// Plays a checked script on one booted device through what SpringBoard itself
// does (wake, a notification arriving, a rotation, a finger on the list, an
// unlock, …), and reports each step: the line, what the finger did, the log lines
// it caused, every URL opened and application launched with the thread it came
// from, and what changed on the lock screen, as text or as one JSON object a line.
#pragma once

#include "LockScreenState.h"
#include "SimulationGestures.h"
#include "SimulationScript.h"

#include <host/Device.h>

#include <optional>

// What a script played on a booted device may name: the device models, the
// preferences and values the settings pane offers, instants, zones and locales,
// and any file.
simulation::ScriptChecks sessionChecks();

// What one step did.
struct StepReport {
    int line = 0;
    std::string step;
    // What the finger did: "let go at (-81, 0)".
    std::vector<std::string> gestures;
    std::vector<std::string> log;
    std::vector<host::LaunchReport> launches;
    std::vector<std::string> changes;
    // The lock screen after the step, for a `state` step.
    std::optional<LockScreenState> state;

    // {"line","step","gestures","log","launches","changes"} and "state" for a `state` step.
    nlohmann::ordered_json json() const;
    // The line, then what it did, each indented.
    std::string text() const;
};

class SimulationPlayer {
public:
    SimulationPlayer(host::Device& device, bool json);
    ~SimulationPlayer();
    SimulationPlayer(const SimulationPlayer&) = delete;
    SimulationPlayer& operator=(const SimulationPlayer&) = delete;

    // Plays every step and prints its report. Stops at the first step that
    // fails, with a ScriptError of its line that names the step and why.
    void play(const std::vector<simulation::Step>& steps);
    // Plays one step; a ScriptError of its line when it fails.
    StepReport play(const simulation::Step& step);

private:
    // Answers what the finger did.
    std::vector<std::string> perform(const simulation::Action& action, const LockScreenState& now);
    // Where the step's finger goes, or null for a step without one.
    UIScrollView* touchedView(const simulation::Action& action, const LockScreenState& now) const;
    std::string moveFinger(UIScrollView* view, CGPoint travel, bool hold);
    void snapshot(const std::string& file);

    host::SpringBoard& springBoard_;
    bool json_;
    // A finger a gesture left down, until the step after lets it go.
    std::optional<simulation::Finger> heldFinger_;
    // The launches of the step being played, as SpringBoard reports them.
    std::vector<host::LaunchReport> launches_;
};
