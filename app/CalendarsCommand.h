// dayglass calendars: the calendars the device sees, whether the lock screen's
// list shows each and why not; `calendars select` and `calendars deselect` write
// the calendar list as the settings pane does.
#pragma once

#include "Command.h"

std::unique_ptr<Command> makeCalendarsCommand(CLI::App& subcommand);
