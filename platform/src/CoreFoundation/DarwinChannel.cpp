#include "CoreFoundation/DarwinChannel.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {
namespace {

constexpr std::size_t longestName = 4096;

std::uint64_t fnv1a(const std::string& text)
{
    std::uint64_t hash = 1469598103934665603ULL;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    return hash;
}

fs::path runtimeBase()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/') {
        std::error_code error;
        if (fs::is_directory(runtime, error))
            return runtime;
    }
    return "/tmp";
}

// The folder must be a real folder of ours that nobody else can write into:
// in a shared /tmp someone could otherwise plant sockets or links there.
bool isPrivateFolder(const fs::path& folder)
{
    struct stat info { };
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
        && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool makePrivateFolder(const fs::path& folder)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    return isPrivateFolder(folder);
}

bool fillAddress(sockaddr_un& address, const std::string& path)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Unlinks our socket when the process exits normally; a crash leaves it for
// the next post to clear away.
void removeSocketAtExit(const std::string& path)
{
    static std::mutex lock;
    static std::string* registered = nullptr;
    static pid_t owner = 0;
    std::lock_guard guard(lock);
    if (!registered) {
        registered = new std::string;
        std::atexit([] {
            std::lock_guard exitGuard(lock);
            if (owner != ::getpid() || registered->empty())
                return;
            ::unlink(registered->c_str());
            ::rmdir(fs::path(*registered).parent_path().c_str());
        });
    }
    *registered = path;
    owner = ::getpid();
}

} // namespace

DarwinChannel::~DarwinChannel()
{
    close();
}

std::string DarwinChannel::folderFor(const std::string& deviceRoot)
{
    std::error_code error;
    fs::path root = fs::weakly_canonical(deviceRoot.empty() ? fs::path("/") : fs::path(deviceRoot), error);
    if (error)
        root = fs::absolute(deviceRoot, error);
    char name[64];
    std::snprintf(name, sizeof name, "dayglass-darwin-%u-%016llx", static_cast<unsigned>(::geteuid()),
        static_cast<unsigned long long>(fnv1a(root.string())));
    return (runtimeBase() / name).string();
}

bool DarwinChannel::listen(const std::string& deviceRoot)
{
    close();
    const fs::path folder = folderFor(deviceRoot);
    const std::string path = (folder / (std::to_string(::getpid()) + ".sock")).string();
    sockaddr_un address;
    if (!makePrivateFolder(folder) || !fillAddress(address, path))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // A file under our process id belongs to a dead process whose id came back.
    ::unlink(path.c_str());
    auto bound = [&] { return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0; };
    // The last listener of another process may have removed the folder meanwhile.
    if (!bound() && !(errno == ENOENT && makePrivateFolder(folder) && bound())) {
        ::close(fd);
        return false;
    }
    socket_ = fd;
    owner_ = ::getpid();
    root_ = deviceRoot;
    path_ = path;
    removeSocketAtExit(path_);
    return true;
}

void DarwinChannel::close()
{
    if (socket_ < 0)
        return;
    ::close(socket_);
    if (owner_ == ::getpid()) {
        ::unlink(path_.c_str());
        // The last listener takes the folder along; rmdir leaves one still in use.
        ::rmdir(fs::path(path_).parent_path().c_str());
    }
    socket_ = -1;
    root_.clear();
    path_.clear();
}

int DarwinChannel::descriptor() const
{
    return owner_ == ::getpid() ? socket_ : -1;
}

std::vector<std::string> DarwinChannel::receive()
{
    std::vector<std::string> names;
    if (descriptor() < 0)
        return names;
    char buffer[longestName + 1];
    for (;;) {
        const ssize_t n = ::recv(socket_, buffer, sizeof buffer, MSG_TRUNC);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return names;
        // A name too long for any sender of ours was not sent by one: drop it.
        if (n > 0 && static_cast<std::size_t>(n) <= longestName)
            names.emplace_back(buffer, static_cast<std::size_t>(n));
    }
}

void DarwinChannel::post(const std::string& deviceRoot, const std::string& name, const std::string& except)
{
    if (name.empty() || name.size() > longestName)
        return;
    const fs::path folder = folderFor(deviceRoot);
    if (!isPrivateFolder(folder))
        return;
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string path = entry.path().string();
        sockaddr_un address;
        if (entry.path().extension() != ".sock" || path == except || !fillAddress(address, path))
            continue;
        if (::sendto(
                fd, name.data(), name.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&address), sizeof address)
            >= 0)
            continue;
        // Nobody behind the socket any more: its process died without cleaning up.
        if (errno == ECONNREFUSED)
            ::unlink(path.c_str());
        // A full queue (EAGAIN) already holds a post its reader has yet to see.
    }
    ::close(fd);
}

} // namespace platform
