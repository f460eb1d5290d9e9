#include <platform/FileBytes.h>

#include <platform/FileDescriptor.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace platform {
namespace {

std::string describeErrno(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

// Makes the rename itself durable, not only the file's contents.
void syncFolder(const fs::path& folder)
{
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());
}

std::optional<std::string> writeTemporary(int fd, const std::string& temporary, const std::string& bytes, mode_t mode)
{
    if (::fchmod(fd, mode) != 0)
        return describeErrno("cannot set the permissions of", temporary);
    if (!writeAll(fd, bytes))
        return describeErrno("cannot write", temporary);
    if (::fsync(fd) != 0)
        return describeErrno("cannot flush", temporary);
    return std::nullopt;
}

} // namespace

bool writeAll(int fd, std::string_view bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

FileRead readRegularFile(const std::string& path, std::size_t maximumSize)
{
    FileRead read;
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info { };
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        read.error = errno;
        return read;
    }
    read.mode = info.st_mode;
    read.outcome = !S_ISREG(info.st_mode)                         ? FileRead::Outcome::NotRegular
        : static_cast<std::uintmax_t>(info.st_size) > maximumSize ? FileRead::Outcome::TooLarge
                                                                  : FileRead::Outcome::Read;
    char buffer[65536];
    while (read.outcome == FileRead::Outcome::Read) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            break;
        if (n < 0) {
            read.outcome = FileRead::Outcome::CannotRead;
            read.error = errno;
        } else {
            read.bytes.append(buffer, static_cast<std::size_t>(n));
            // The file may grow while it is read.
            if (read.bytes.size() > maximumSize)
                read.outcome = FileRead::Outcome::TooLarge;
        }
    }
    if (read.outcome != FileRead::Outcome::Read)
        read.bytes.clear();
    return read;
}

std::optional<std::string> readFileBytes(const std::string& path, std::size_t maximumSize)
{
    FileRead read = readRegularFile(path, maximumSize);
    if (read.outcome != FileRead::Outcome::Read)
        return std::nullopt;
    return std::move(read.bytes);
}

std::optional<std::string> writeFileAtomically(const std::string& path, const std::string& bytes)
{
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        return "cannot create the folder " + folder.string() + ": " + error.message();

    mode_t mode = 0644;
    if (struct stat info {}; ::stat(path.c_str(), &info) == 0)
        mode = info.st_mode & 07777;

    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return describeErrno("cannot create a temporary file in", folder.string());
    std::optional<std::string> failure = writeTemporary(fd.get(), temporary, bytes, mode);
    if (!failure && !fd.close())
        failure = describeErrno("cannot close", temporary);
    if (!failure && ::rename(temporary.c_str(), path.c_str()) != 0)
        failure = describeErrno("cannot replace", path);
    if (failure) {
        ::unlink(temporary.c_str());
        return failure;
    }
    syncFolder(folder);
    return std::nullopt;
}

} // namespace platform
