// Plays a checked script on one booted device through what SpringBoard itself
// does (wake, a notification arriving, a rotation, an unlock, …), and reports each
// step: the line, the extension's log lines it caused, and what changed on the
// lock screen, as text or as one JSON object a line.
#pragma once

#include "LockScreenState.h"
#include "SimulationScript.h"

#include <host/Device.h>

class SimulationPlayer {
public:
    SimulationPlayer(host::Device& device, void* extension, bool json);

    // Stops at the first step that fails, with CommandError naming its line.
    void play(const std::vector<simulation::Step>& steps);

private:
    void perform(const simulation::Action& action);
    void snapshot(const std::string& file);
    void report(const simulation::Step& step, const std::vector<std::string>& log,
        const std::vector<std::string>& changes, const LockScreenState& state) const;

    host::SpringBoard& springBoard_;
    void* extension_;
    bool json_;
};
