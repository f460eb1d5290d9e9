// dayglass device: `device init DIR` makes a device root of one's own, with the
// extension installed and one's calendars copied in, that works at once.
#pragma once

#include "Command.h"

std::unique_ptr<Command> makeDeviceCommand(CLI::App& subcommand);
