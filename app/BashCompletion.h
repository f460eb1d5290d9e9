// Bash completion for the command, made from its own command-line tree: the
// subcommands and options that --help lists, the values that their checks
// name, the device models and the preference keys.
#pragma once

#include "Command.h"

#include <CLI/CLI.hpp>

#include <string>

// A script for bash-completion: the subcommands at every level, each one's
// options, and the values of those that take a known set (--device, KEY, …);
// other values complete as file names.
std::string bashCompletion(const CLI::App& app);

// dayglass completion: prints that script.
std::unique_ptr<Command> makeCompletionCommand(CLI::App& subcommand);
