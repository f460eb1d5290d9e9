#include "StandardOutput.h"

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <string>

OutputError::OutputError(int error)
    : CommandError("cannot write the output: " + reasonFor(error))
    , error_(error)
{
}

bool OutputError::readerGone() const
{
    return error_ == EPIPE;
}

void writeOutput(std::string_view text)
{
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
        throw OutputError(errno);
}

namespace {

std::string formattedArguments(const char* format, va_list arguments)
{
    va_list again;
    va_copy(again, arguments);
    std::string text(static_cast<std::size_t>(std::vsnprintf(nullptr, 0, format, arguments)), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

} // namespace

std::string formatted(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::string text = formattedArguments(format, arguments);
    va_end(arguments);
    return text;
}

void printOutput(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const std::string text = formattedArguments(format, arguments);
    va_end(arguments);
    writeOutput(text);
}

void flushOutput()
{
    if (std::fflush(stdout) != 0)
        throw OutputError(errno);
}

int reportOutputError(const OutputError& error)
{
    if (error.readerGone()) {
        // Started with SIGPIPE ignored, the command saw EPIPE instead of the
        // signal; it ends the way it would have ended by the signal.
        std::signal(SIGPIPE, SIG_DFL);
        std::raise(SIGPIPE);
        return 128 + SIGPIPE;
    }
    std::fprintf(stderr, "dayglass: %s\n", error.what());
    return exitFailure;
}
