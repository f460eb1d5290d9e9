// The command's answer on standard output. Everything it prints there goes
// through here, so that an answer that cannot be written (a full disk, a closed
// pipe) is a failure with its reason rather than a silent success.
#pragma once

#include "Command.h"

#include <string>
#include <string_view>

// "cannot write the output: no space left on device", exit status 1; a reader
// that went away (a closed pipe) ends the command quietly instead.
class OutputError : public CommandError {
public:
    explicit OutputError(int error);
    bool readerGone() const;

private:
    int error_;
};

// Writes the text (or bytes) to standard output. OutputError when it cannot.
void writeOutput(std::string_view text);
// The same, formatted as printf formats.
void printOutput(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The text printf would print.
std::string formatted(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Pushes what is buffered out now. OutputError when it cannot.
void flushOutput();

// Reports the error as main reports every error, or ends quietly as a Unix tool
// does when its reader is gone; returns the exit status.
int reportOutputError(const OutputError& error);
