// Runs the dayglass command in a child process, as a user would from a shell.
#pragma once

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace command_runner {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Extra environment for the child; DAYGLASS_ROOT is removed unless given here.
// XDG_CACHE_HOME is a fresh folder of the command's own, removed after it,
// unless given here: a command run by the tests never writes the user's cache.
using Environment = std::map<std::string, std::string>;

// Runs `dayglass args…` to the end.
Result run(const std::vector<std::string>& args, const Environment& environment = {});
// The same with `input` on its standard input.
Result runWithInput(const std::vector<std::string>& args, const std::string& input);

// The same without privileges, so that file modes apply: run by root, it runs as
// nobody.
Result runUnprivileged(const std::vector<std::string>& args);

// The same in a private mount namespace of its own (`unshare -rm`), once the
// shell commands in `setup` ran there; what they mount is seen by no other process.
Result runInMountNamespace(const std::string& setup, const std::vector<std::string>& args);

// A command that keeps running (`settings --watch`), read line by line. It is
// stopped when this object goes, and at the latest after a minute.
class Running {
public:
    explicit Running(const std::vector<std::string>& args, const Environment& environment = {});
    ~Running();
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    // The next line of its output; nothing once it has ended.
    std::optional<std::string> nextLine();
    // Sends the signal to the command's process group and waits for it to end.
    void stop(int signal);

private:
    std::string cacheFolder_;
    FILE* output_ = nullptr;
    long pid_ = 0;
};

} // namespace command_runner
