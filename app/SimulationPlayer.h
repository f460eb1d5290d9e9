// Plays a checked script on one booted device through what SpringBoard itself
// does (wake, a notification arriving, a rotation, a finger on the list, an
// unlock, …), and reports each step: the line, what the finger did, the log lines
// it caused, every URL opened and application launched with the thread it came
// from, and what changed on the lock screen, as text or as one JSON object a line.
#pragma once

#include "LockScreenState.h"
#include "SimulationScript.h"

#include <host/Device.h>

class SimulationPlayer {
public:
    SimulationPlayer(host::Device& device, bool json);
    ~SimulationPlayer();
    SimulationPlayer(const SimulationPlayer&) = delete;
    SimulationPlayer& operator=(const SimulationPlayer&) = delete;

    // Stops at the first step that fails, with CommandError naming its line.
    void play(const std::vector<simulation::Step>& steps);

private:
    // What one step caused, besides the changes of the lock screen.
    struct Outcome {
        // What the finger did: "let go at (-81, 0)".
        std::vector<std::string> gestures;
        std::vector<std::string> log;
        std::vector<host::LaunchReport> launches;
    };

    // Answers what the finger did.
    std::vector<std::string> perform(const simulation::Action& action, const LockScreenState& now);
    void snapshot(const std::string& file);
    void report(const simulation::Step& step, const Outcome& outcome, const std::vector<std::string>& changes,
        const LockScreenState& state) const;

    host::SpringBoard& springBoard_;
    bool json_;
    // The launches of the step being played, as SpringBoard reports them.
    std::vector<host::LaunchReport> launches_;
};
