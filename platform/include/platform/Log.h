// The system log of the simulated device. Every NSLog and CFLog line is kept
// here in order, where tests read it, and echoed to stderr when the command runs
// with --log.
//
// A device may run for days (`settings --watch`, a long `simulate`), so the log
// keeps only its newest lines, as the phone's own log rolls over: at most
// `logLineLimit` lines and `logByteLimit` bytes of text, the oldest going first.
// The newest line is always kept, however long.
#pragma once

#include <platform/Export.h>

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

inline constexpr std::size_t logLineLimit = 10'000;
inline constexpr std::size_t logByteLimit = 1 << 20;

PLATFORM_EXPORT void writeLogLine(std::string line);
// The lines kept, oldest first.
PLATFORM_EXPORT std::vector<std::string> loggedLines();
// Every line written since the log was last cleared, kept or not: a mark for
// loggedLinesSince.
PLATFORM_EXPORT std::size_t logLinesWritten();
// The lines written after the mark that are still kept.
PLATFORM_EXPORT std::vector<std::string> loggedLinesSince(std::size_t mark);
PLATFORM_EXPORT void clearLog();
PLATFORM_EXPORT void setLogEchoToStderr(bool echo);

} // namespace platform
