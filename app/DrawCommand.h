// dayglass draw: the event list's two small images as PNG files, so that a theme
// designer can look at them: `draw icon` makes a day's calendar page, `draw dot`
// a calendar's coloured dot. Both print the file and the image's size.
#pragma once

#include "Command.h"

std::unique_ptr<Command> makeDrawCommand(CLI::App& subcommand);
