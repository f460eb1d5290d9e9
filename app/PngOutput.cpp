#include "PngOutput.h"

#include "Command.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

// Every byte, or the errno of the failure.
int writeAll(int fd, const std::vector<std::uint8_t>& bytes)
{
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno != EINTR)
            return errno;
        written += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return 0;
}

} // namespace

bool isStandardOutput(const std::string& path)
{
    return path == "-";
}

void writePng(const UIImage& image, const std::string& path)
{
    const std::vector<std::uint8_t> bytes = UIImagePNGRepresentation(&image);
    if (bytes.empty())
        throw CommandError("cannot encode the picture as PNG");
    if (isStandardOutput(path)) {
        if (const int error = writeAll(STDOUT_FILENO, bytes))
            throw CommandError("cannot write the picture to standard output: " + reasonFor(error));
        return;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        const int error = errno;
        throw CommandError("cannot write " + path + ": " + reasonFor(error)
            + (error == ENOENT ? " (the folder " + std::filesystem::path(path).parent_path().string() + " is missing)"
                               : ""));
    }
    int error = writeAll(fd, bytes);
    if (::close(fd) != 0 && !error)
        error = errno;
    if (error)
        throw CommandError("cannot write " + path + ": " + reasonFor(error));
}
