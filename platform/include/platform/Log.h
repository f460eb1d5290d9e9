// The system log of the simulated device. Every NSLog and CFLog line is kept
// here in order, where tests read it, and echoed to stderr when the command runs
// with --log.
#pragma once

#include <string>
#include <vector>

namespace platform {

void writeLogLine(std::string line);
std::vector<std::string> loggedLines();
void clearLog();
void setLogEchoToStderr(bool echo);

} // namespace platform
