// dayglass simulate: plays a scripted session on one booted device, one step a
// line, and prints what each step did to the lock screen and the event list.
#pragma once

#include "Command.h"

std::unique_ptr<Command> makeSimulateCommand(CLI::App& subcommand);
