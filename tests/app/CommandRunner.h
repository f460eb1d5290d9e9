// Runs the dayglass command in a child process, as a user would from a shell.
#pragma once

#include <chrono>
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
using Environment = std::map<std::string, std::string>;

// Runs `dayglass args…` to the end.
Result run(const std::vector<std::string>& args, const Environment& environment = {});

// A command that keeps running (`settings --watch`): its output is read line by line.
class Running {
public:
    explicit Running(const std::vector<std::string>& args);
    ~Running();
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    // The next line of its output, or nothing when none came within the time.
    std::optional<std::string> nextLine(std::chrono::milliseconds patience = std::chrono::seconds(10));

private:
    int pid_ = -1;
    int out_ = -1;
    std::string buffered_;
};

} // namespace command_runner
