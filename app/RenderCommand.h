// dayglass render --list: the event list exactly as the lock screen builds it from
// SpringBoard's suggested list frame, drawn over a lock-screen backdrop into a PNG
// file. --layout-json prints every view's class, frame and text as well, so that a
// layout can be checked without looking at it.
#pragma once

#include "Command.h"

std::unique_ptr<Command> makeRenderCommand(CLI::App& subcommand);
