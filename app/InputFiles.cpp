#include "InputFiles.h"

#include "Command.h"

#include <platform/FileBytes.h>

#include <sys/stat.h>

#include <cerrno>
#include <utility>

namespace {

// The name given does not lead to anything that could be read.
std::string problemOfError(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "does not exist";
    case ELOOP:
        return "is a symbolic-link loop";
    default:
        return {};
    }
}

std::string problemOfMode(mode_t mode, PathKind kind)
{
    switch (kind) {
    case PathKind::File:
        if (S_ISDIR(mode))
            return "is a folder, not a file";
        return S_ISREG(mode) ? "" : "is not a regular file";
    case PathKind::Folder:
        return S_ISDIR(mode) ? "" : "is not a folder";
    case PathKind::FileOrFolder:
        return S_ISDIR(mode) || S_ISREG(mode) ? "" : "is neither a regular file nor a folder";
    }
    return {};
}

} // namespace

std::string pathProblem(const std::string& path, PathKind kind)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0)
        return problemOfError(errno);
    return problemOfMode(info.st_mode, kind);
}

CLI::Validator existingPath(PathKind kind, StandardInput standardInput)
{
    return CLI::Validator(
        [kind, standardInput](std::string& path) {
            if (path == "-" && standardInput == StandardInput::Allowed)
                return std::string();
            const std::string problem = pathProblem(path, kind);
            return problem.empty() ? problem : "'" + path + "' " + problem;
        },
        kind == PathKind::Folder     ? "DIR"
            : kind == PathKind::File ? "FILE"
                                     : "PATH");
}

std::string readProblem(const platform::FileRead& read)
{
    switch (read.outcome) {
    case platform::FileRead::Outcome::Read:
        return {};
    case platform::FileRead::Outcome::NotRegular:
        return "it is not a regular file";
    default:
        return reasonFor(read.error);
    }
}

std::string readInputFile(const std::string& path, const std::string& what)
{
    platform::FileRead read = platform::readRegularFile(path);
    if (read.outcome == platform::FileRead::Outcome::CannotOpen) {
        if (const std::string problem = problemOfError(read.error); !problem.empty())
            throw UsageError(what + " " + path + " " + problem);
        throw CommandError("cannot read " + what + " " + path + ": " + reasonFor(read.error));
    }
    if (const std::string problem = problemOfMode(read.mode, PathKind::File); !problem.empty())
        throw UsageError(what + " " + path + " " + problem);
    if (read.outcome != platform::FileRead::Outcome::Read)
        throw CommandError("cannot read " + what + " " + path + ": " + reasonFor(read.error));
    return std::move(read.bytes);
}
