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

// A fresh folder for a command's cache, open to a command run without privileges.
std::string newCacheFolder()
{
    std::string folder = (std::filesystem::temp_directory_path() / "dayglass-cache-XXXXXX").string();
    if (!mkdtemp(folder.data()))
        return "";
    std::filesystem::permissions(folder, std::filesystem::perms::all);
    return folder;
}

void removeFolder(const std::string& folder)
{
    std::error_code error;
    if (!folder.empty())
        std::filesystem::remove_all(folder, error);
}

std::string commandLine(const std::vector<std::string>& args, Environment environment, const std::string& cacheFolder,
    bool unprivileged = false)
{
    std::string line = unprivileged && ::geteuid() == 0 ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "";
    line += "env -u DAYGLASS_ROOT";
    environment.try_emplace("XDG_CACHE_HOME", cacheFolder);
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

Result runCommandLine(const std::string& line)
{
    std::string errors = (std::filesystem::temp_directory_path() / "dayglass-stderr-XXXXXX").string();
    close(mkstemp(errors.data()));
    Result result;
    FILE* output = popen((line + " 2>" + shellQuoted(errors)).c_str(), "r");
    result.out = readAll(output);
    const int status = pclose(output);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream file(errors);
    result.err.assign(std::istreambuf_iterator<char>(file), {});
    std::filesystem::remove(errors);
    return result;
}

} // namespace

Result run(const std::vector<std::string>& args, const Environment& environment)
{
    const std::string cacheFolder = newCacheFolder();
    Result result = runCommandLine(commandLine(args, environment, cacheFolder));
    removeFolder(cacheFolder);
    return result;
}

Result runWithInput(const std::vector<std::string>& args, const std::string& input)
{
    std::string inputFile = (std::filesystem::temp_directory_path() / "dayglass-stdin-XXXXXX").string();
    close(mkstemp(inputFile.data()));
    std::ofstream(inputFile, std::ios::binary) << input;
    const std::string cacheFolder = newCacheFolder();
    Result result = runCommandLine(commandLine(args, {}, cacheFolder) + " <" + shellQuoted(inputFile));
    removeFolder(cacheFolder);
    std::filesystem::remove(inputFile);
    return result;
}

Result runUnprivileged(const std::vector<std::string>& args)
{
    const std::string cacheFolder = newCacheFolder();
    Result result = runCommandLine(commandLine(args, {}, cacheFolder, true));
    removeFolder(cacheFolder);
    return result;
}

Result runInMountNamespace(const std::string& setup, const std::vector<std::string>& args)
{
    const std::string cacheFolder = newCacheFolder();
    Result result
        = runCommandLine("unshare -rm sh -c " + shellQuoted(setup + " && exec " + commandLine(args, {}, cacheFolder)));
    removeFolder(cacheFolder);
    return result;
}

// The shell prints the command's process id first, then becomes the command.
Running::Running(const std::vector<std::string>& args, const Environment& environment)
    : cacheFolder_(newCacheFolder())
    , output_(popen(("echo $$; exec timeout 60 " + commandLine(args, environment, cacheFolder_)).c_str(), "r"))
{
    pid_ = std::stol(nextLine().value_or("0"));
}

Running::~Running()
{
    stop(SIGTERM);
}

// timeout leads a process group of its own, as a shell's foreground job does:
// the signal goes to the whole group, as Ctrl-C in a terminal sends it.
void Running::stop(int signal)
{
    if (pid_ > 0)
        kill(-static_cast<pid_t>(pid_), signal);
    // Read to the end first: a pipe closed under a command still writing would
    // end it by SIGPIPE instead.
    while (output_ && nextLine()) { }
    if (output_)
        pclose(output_);
    pid_ = 0;
    output_ = nullptr;
    removeFolder(cacheFolder_);
    cacheFolder_.clear();
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
