#include "CommandRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

extern char** environ;

namespace command_runner {
namespace {

std::vector<std::string> childEnvironment(const Environment& extra)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry)
        if (std::strncmp(*entry, "DAYGLASS_ROOT=", 14) != 0)
            entries.emplace_back(*entry);
    for (const auto& [name, value] : extra)
        entries.push_back(name + "=" + value);
    return entries;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    for (std::string& s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

// Starts dayglass with stdout (and stderr, when asked) on pipes.
int spawn(const std::vector<std::string>& args, const Environment& environment, int& out, int* err)
{
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || (err && pipe(errPipe) != 0))
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, outPipe[0]);
    if (err) {
        posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, errPipe[0]);
    }
    std::vector<std::string> argv { DAYGLASS_COMMAND };
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> envp = childEnvironment(environment);
    pid_t pid = -1;
    const int failed
        = posix_spawn(&pid, DAYGLASS_COMMAND, &actions, nullptr, pointers(argv).data(), pointers(envp).data());
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    out = outPipe[0];
    if (err) {
        close(errPipe[1]);
        *err = errPipe[0];
    }
    if (failed)
        throw std::runtime_error(std::string("cannot start dayglass: ") + std::strerror(failed));
    return pid;
}

// Reads both pipes to their end.
void drain(int out, int err, Result& result)
{
    pollfd fds[2] = { { out, POLLIN, 0 }, { err, POLLIN, 0 } };
    std::string* sinks[2] = { &result.out, &result.err };
    int open = 2;
    while (open > 0) {
        if (poll(fds, 2, -1) < 0)
            break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP)))
                continue;
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

} // namespace

Result run(const std::vector<std::string>& args, const Environment& environment)
{
    Result result;
    int out = -1, err = -1;
    const int pid = spawn(args, environment, out, &err);
    drain(out, err, result);
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

Running::Running(const std::vector<std::string>& args)
{
    pid_ = spawn(args, {}, out_, nullptr);
}

Running::~Running()
{
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    close(out_);
}

std::optional<std::string> Running::nextLine(std::chrono::milliseconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (auto end = buffered_.find('\n'); end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd fd { out_, POLLIN, 0 };
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            return std::nullopt;
        char buffer[4096];
        const ssize_t n = read(out_, buffer, sizeof buffer);
        if (n <= 0)
            return std::nullopt;
        buffered_.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace command_runner
