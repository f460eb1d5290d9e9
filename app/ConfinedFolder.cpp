#include "ConfinedFolder.h"

#include "Command.h"

#include <platform/FileBytes.h>
#include <platform/FileDescriptor.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

namespace {

using platform::FileDescriptor;

std::vector<std::string> namesOf(std::string_view relative)
{
    std::vector<std::string> names;
    for (std::size_t start = 0; start <= relative.size();) {
        const std::size_t end = std::min(relative.find('/', start), relative.size());
        if (end > start)
            names.emplace_back(relative.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string parentOf(std::string_view relative)
{
    const std::size_t slash = relative.rfind('/');
    return std::string(slash == std::string_view::npos ? std::string_view() : relative.substr(0, slash));
}

std::string baseOf(std::string_view relative)
{
    const std::size_t slash = relative.rfind('/');
    return std::string(slash == std::string_view::npos ? relative : relative.substr(slash + 1));
}

// The names in an open folder, read before any of them is removed.
std::vector<std::string> entriesOf(int folder)
{
    std::vector<std::string> names;
    DIR* listing = ::fdopendir(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!listing)
        return names;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(listing);
    return names;
}

// 0 on success, else errno.
int removeAt(int parent, const std::string& name)
{
    struct stat info { };
    if (::fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? 0 : errno;
    if (!S_ISDIR(info.st_mode))
        return ::unlinkat(parent, name.c_str(), 0) == 0 ? 0 : errno;
    const FileDescriptor folder(::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.get() < 0)
        return errno;
    for (const std::string& entry : entriesOf(folder.get()))
        if (const int error = removeAt(folder.get(), entry))
            return error;
    return ::unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0 ? 0 : errno;
}

} // namespace

ConfinedFolder::ConfinedFolder(std::string path)
    : path_(std::move(path))
{
    if (::mkdir(path_.c_str(), 0755) != 0 && errno != EEXIST)
        throw CommandError("cannot make " + path_ + ": " + reasonFor(errno));
    // The folder itself is the one the user named, so a link naming it is followed.
    fd_.reset(::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd_.get() < 0)
        throw CommandError("cannot open " + path_ + ": " + reasonFor(errno));
}

std::string ConfinedFolder::where(std::string_view relative) const
{
    return relative.empty() ? path_ : path_ + "/" + std::string(relative);
}

bool ConfinedFolder::isEmpty() const
{
    return entriesOf(fd_.get()).empty();
}

int ConfinedFolder::openFolder(std::string_view relative, bool make) const
{
    FileDescriptor current(::fcntl(fd_.get(), F_DUPFD_CLOEXEC, 0));
    std::string walked;
    for (const std::string& name : namesOf(relative)) {
        walked += (walked.empty() ? "" : "/") + name;
        if (make && ::mkdirat(current.get(), name.c_str(), 0755) != 0 && errno != EEXIST)
            throw CommandError("cannot make " + where(walked) + ": " + reasonFor(errno));
        FileDescriptor next(::openat(current.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (next.get() < 0) {
            const int error = errno;
            if (error == ENOENT && !make)
                return -1;
            struct stat info { };
            if (::fstatat(current.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode))
                throw CommandError(where(walked) + " is a symbolic link; nothing is written through one, so that "
                    + "everything stays inside " + path_ + " (remove the link)");
            if (error == ENOTDIR)
                throw CommandError(where(walked) + " is not a folder (move it away)");
            throw CommandError("cannot open " + where(walked) + ": " + reasonFor(error));
        }
        current.reset(next.release());
    }
    return current.release();
}

bool ConfinedFolder::holds(std::string_view relative) const
{
    const FileDescriptor parent(openFolder(parentOf(relative), false));
    struct stat info { };
    return parent.get() >= 0 && ::fstatat(parent.get(), baseOf(relative).c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

void ConfinedFolder::makeFolders(std::string_view relative) const
{
    const FileDescriptor folder(openFolder(relative, true));
}

void ConfinedFolder::writeFile(std::string_view relative, std::string_view bytes, mode_t mode) const
{
    const FileDescriptor parent(openFolder(parentOf(relative), true));
    const std::string name = baseOf(relative);
    // A copy left by a writer that was killed has the same name, and goes first.
    const std::string temporary = "." + name + ".dayglass-" + std::to_string(::getpid());
    ::unlinkat(parent.get(), temporary.c_str(), 0);
    const FileDescriptor file(
        ::openat(parent.get(), temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode & 0777));
    if (file.get() < 0)
        throw CommandError("cannot write " + where(relative) + ": " + reasonFor(errno));
    if (!platform::writeAll(file.get(), bytes)) {
        const int error = errno;
        ::unlinkat(parent.get(), temporary.c_str(), 0);
        throw CommandError("cannot write " + where(relative) + ": " + reasonFor(error));
    }
    // The mode asked for, whatever the user's mask took away from it.
    ::fchmod(file.get(), mode & 0777);
    if (::renameat(parent.get(), temporary.c_str(), parent.get(), name.c_str()) != 0) {
        const int error = errno;
        ::unlinkat(parent.get(), temporary.c_str(), 0);
        throw CommandError("cannot write " + where(relative) + ": " + reasonFor(error));
    }
}

void ConfinedFolder::makeLink(std::string_view relative, const std::string& target) const
{
    const FileDescriptor parent(openFolder(parentOf(relative), true));
    const std::string name = baseOf(relative);
    if (::symlinkat(target.c_str(), parent.get(), name.c_str()) == 0)
        return;
    if (errno != EEXIST)
        throw CommandError("cannot make the link " + where(relative) + ": " + reasonFor(errno));
    std::string existing(4096, '\0');
    const ssize_t length = ::readlinkat(parent.get(), name.c_str(), existing.data(), existing.size());
    if (length < 0 || existing.substr(0, static_cast<std::size_t>(length)) != target)
        throw CommandError(where(relative) + " is there already and is no link to " + target + " (move it away)");
}

void ConfinedFolder::remove(std::string_view relative) const
{
    const FileDescriptor parent(openFolder(parentOf(relative), false));
    if (parent.get() < 0)
        return;
    if (const int error = removeAt(parent.get(), baseOf(relative)))
        throw CommandError("cannot remove " + where(relative) + ": " + reasonFor(error));
}
