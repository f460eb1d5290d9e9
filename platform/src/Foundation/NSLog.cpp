#include <Foundation/NSLog.h>
#include <platform/Log.h>

#include "Format.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace platform {
namespace {

struct LogState {
    std::mutex lock;
    std::vector<std::string> lines;
    bool echo = false;
};

LogState& logState()
{
    static auto* state = new LogState;
    return *state;
}

} // namespace

void writeLogLine(std::string line)
{
    LogState& state = logState();
    std::lock_guard guard(state.lock);
    if (state.echo)
        std::fprintf(stderr, "%s\n", line.c_str());
    state.lines.push_back(std::move(line));
}

std::vector<std::string> loggedLines()
{
    LogState& state = logState();
    std::lock_guard guard(state.lock);
    return state.lines;
}

void clearLog()
{
    LogState& state = logState();
    std::lock_guard guard(state.lock);
    state.lines.clear();
}

void setLogEchoToStderr(bool echo)
{
    LogState& state = logState();
    std::lock_guard guard(state.lock);
    state.echo = echo;
}

} // namespace platform

void NSLog(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::string line = platform::formatObjC(format, arguments);
    va_end(arguments);
    platform::writeLogLine(std::move(line));
}
