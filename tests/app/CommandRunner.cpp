#include "CommandRunner.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace command_runner {
namespace {

std::string shellQuoted(const std::string& text)
{
    std::string result = "'";
    for (char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

std::string commandLine(const std::vector<std::string>& args, const Environment& environment)
{
    std::string line = "env -u DAYGLASS_ROOT";
    for (const auto& [name, value] : environment)
        line += " " + name + "=" + shellQuoted(value);
    line += " " + shellQuoted(DAYGLASS_COMMAND);
    for (const std::string& arg : args)
        line += " " + shellQuoted(arg);
    return line;
}

std::string readAll(FILE* stream)
{
    std::string text;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, stream))
        text.append(buffer, n);
    return text;
}

} // namespace

Result run(const std::vector<std::string>& args, const Environment& environment)
{
    std::string errors = (std::filesystem::temp_directory_path() / "dayglass-stderr-XXXXXX").string();
    close(mkstemp(errors.data()));
    Result result;
    FILE* output = popen((commandLine(args, environment) + " 2>" + shellQuoted(errors)).c_str(), "r");
    result.out = readAll(output);
    const int status = pclose(output);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream file(errors);
    result.err.assign(std::istreambuf_iterator<char>(file), {});
    std::filesystem::remove(errors);
    return result;
}

// The shell prints the command's process id first, then becomes the command.
Running::Running(const std::vector<std::string>& args)
    : output_(popen(("echo $$; exec timeout 60 " + commandLine(args, {})).c_str(), "r"))
{
    pid_ = std::stol(nextLine().value_or("0"));
}

Running::~Running()
{
    if (pid_ > 0)
        kill(static_cast<pid_t>(pid_), SIGTERM);
    pclose(output_);
}

std::optional<std::string> Running::nextLine()
{
    char buffer[8192];
    if (!std::fgets(buffer, sizeof buffer, output_))
        return std::nullopt;
    std::string line(buffer);
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    return line;
}

} // namespace command_runner
