#include <platform/Log.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <mutex>

namespace platform {
namespace {

struct LogState {
    std::mutex lock;
    std::deque<std::string> lines;
    std::size_t bytes = 0;
    std::size_t written = 0;
    bool echo = false;

    void dropOldestBeyondLimits()
    {
        while (lines.size() > 1 && (lines.size() > logLineLimit || bytes > logByteLimit)) {
            bytes -= lines.front().size();
            lines.pop_front();
        }
    }
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
    state.bytes += line.size();
    state.lines.push_back(std::move(line));
    ++state.written;
    state.dropOldestBeyondLimits();
}

std::vector<std::string> loggedLines()
{
    return loggedLinesSince(0);
}

std::size_t logLinesWritten()
{
    LogState& state = logState();
    std::lock_guard guard(state.lock);
    return state.written;
}

std::vector<std::string> loggedLinesSince(std::size_t mark)
{
    LogState& state = logState();
    std::lock_guard guard(state.lock);
    const std::size_t dropped = state.written - state.lines.size();
    const std::size_t first = mark > dropped ? std::min(mark - dropped, state.lines.size()) : 0;
    return { state.lines.begin() + static_cast<std::ptrdiff_t>(first), state.lines.end() };
}

void clearLog()
{
    LogState& state = logState();
    std::lock_guard guard(state.lock);
    state.lines.clear();
    state.bytes = 0;
    state.written = 0;
}

void setLogEchoToStderr(bool echo)
{
    LogState& state = logState();
    std::lock_guard guard(state.lock);
    state.echo = echo;
}

} // namespace platform
