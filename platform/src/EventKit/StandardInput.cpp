#include "StandardInput.h"

#include <Foundation/NSLog.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace eventkit {
namespace {

// A folder of the process's own under the temporary folder, removed when the
// process ends.
class PrivateFolder {
public:
    PrivateFolder()
    {
        const char* temporary = std::getenv("TMPDIR");
        std::string pattern = std::string(temporary && temporary[0] == '/' ? temporary : "/tmp") + "/dayglass-XXXXXX";
        if (mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~PrivateFolder()
    {
        std::error_code error;
        if (!path_.empty())
            std::filesystem::remove_all(path_, error);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Copies standard input to `path`; false with errno set when it cannot.
bool copyStandardInput(const std::string& path)
{
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (file < 0)
        return false;
    char buffer[65536];
    bool copied = true;
    for (ssize_t got; copied && (got = read(STDIN_FILENO, buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno == EINTR)
            continue;
        copied = got > 0 && write(file, buffer, static_cast<std::size_t>(got)) == got;
    }
    const int error = errno;
    close(file);
    errno = error;
    return copied;
}

std::string makeCopy()
{
    static PrivateFolder folder;
    const std::string path = folder.path() + "/stdin.ics";
    if (folder.path().empty() || !copyStandardInput(path)) {
        NSLog("EventKit: standard input cannot be read as a calendar: %s", std::strerror(errno));
        return "";
    }
    return path;
}

struct Copy {
    std::once_flag made;
    std::atomic<bool> done { false };
    std::string path;
};

Copy& theCopy()
{
    static Copy copy;
    return copy;
}

} // namespace

const std::string& standardInputCopy()
{
    Copy& copy = theCopy();
    std::call_once(copy.made, [&copy] {
        copy.path = makeCopy();
        copy.done = true;
    });
    return copy.path;
}

bool isStandardInputCopy(const std::string& path)
{
    const Copy& copy = theCopy();
    return copy.done && !copy.path.empty() && path == copy.path;
}

} // namespace eventkit
