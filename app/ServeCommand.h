// dayglass serve: the live device in the browser.
#pragma once

#include "Command.h"

std::unique_ptr<Command> makeServeCommand(CLI::App& subcommand);
