#include "InputFiles.h"

#include "Command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

// Closes a descriptor when it goes out of scope.
struct OpenFile {
    int fd;
    ~OpenFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

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

std::string readInputFile(const std::string& path, const std::string& what)
{
    const OpenFile file { ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) };
    struct stat info { };
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0) {
        const int error = errno;
        if (const std::string problem = problemOfError(error); !problem.empty())
            throw UsageError(what + " " + path + " " + problem);
        throw CommandError("cannot read " + what + " " + path + ": " + reasonFor(error));
    }
    if (const std::string problem = problemOfMode(info.st_mode, PathKind::File); !problem.empty())
        throw UsageError(what + " " + path + " " + problem);
    std::string bytes;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw CommandError("cannot read " + what + " " + path + ": " + reasonFor(errno));
        if (n == 0)
            return bytes;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}
