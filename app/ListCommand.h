// dayglass list: what the lock screen's event list shows now, as a readable
// agenda or as JSON. The device boots with the extension loaded, and a table
// made as the lock screen makes its list loads and groups the events.
#pragma once

#include "Command.h"

std::unique_ptr<Command> makeListCommand(CLI::App& subcommand);
