// A subcommand of `dayglass`. Each lives in its own file pair, registers its
// options on the command line and runs when it was the one given.
#pragma once

#include <CLI/CLI.hpp>

#include <cctype>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

// The options every subcommand takes.
struct CommonOptions {
    // The device root: --root, else DAYGLASS_ROOT, else the sample device of the build.
    std::string root;
    // Echo the device's log lines to stderr.
    bool log = false;
};

// Exit statuses: 0 success, 1 a failure while running, 2 a command line that
// does not say something the command can do.
inline constexpr int exitFailure = 1;
inline constexpr int exitUsage = 2;

// A failure the user can act on: printed as "dayglass: <message>", exit status 1.
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A word or value the command does not take, found after parsing (an unknown
// preference, a value of the wrong kind): printed like a CommandError, exit status 2.
class UsageError : public CommandError {
public:
    using CommandError::CommandError;
};

// A reason as the rest of a sentence: "Permission denied" becomes "permission denied".
inline std::string sentenceRest(std::string reason)
{
    if (!reason.empty())
        reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    return reason;
}

// strerror's words as the rest of a sentence.
inline std::string reasonFor(int error)
{
    return sentenceRest(std::strerror(error));
}

class Command {
public:
    virtual ~Command() = default;
    // The subcommand whose options this command added.
    virtual const CLI::App* subcommand() const = 0;
    // Returns the exit status.
    virtual int run(const CommonOptions& options) = 0;
};

// Each command is made on its subcommand, which main has added under its name,
// and adds the subcommand's options and nested subcommands.
std::unique_ptr<Command> makeSettingsCommand(CLI::App& subcommand);
std::unique_ptr<Command> makePrefsCommand(CLI::App& subcommand);
