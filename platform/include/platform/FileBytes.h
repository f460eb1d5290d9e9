// Whole-file reads and atomic whole-file writes on the host file system.
#pragma once

#include <platform/Export.h>

#include <sys/types.h>

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A file read whole, or how far it got. The file is opened without waiting, so
// a FIFO or a device is refused like a folder, before anything is read.
struct FileRead {
    enum class Outcome { Read, CannotOpen, NotRegular, TooLarge, CannotRead };
    Outcome outcome = Outcome::CannotOpen;
    // The errno of a failed open, stat or read.
    int error = 0;
    // The file's st_mode, once it could be looked at.
    mode_t mode = 0;
    std::string bytes;
};

PLATFORM_EXPORT FileRead readRegularFile(
    const std::string& path, std::size_t maximumSize = std::numeric_limits<std::size_t>::max());

// The bytes of a regular file; nothing for a missing or unreadable file, a
// folder, a FIFO, or one too large to hold.
PLATFORM_EXPORT std::optional<std::string> readFileBytes(const std::string& path, std::size_t maximumSize);

// Writes every byte, going on after a short write or an interruption. False
// with errno set when it cannot.
PLATFORM_EXPORT bool writeAll(int fd, std::string_view bytes);

// Replaces the file with `bytes` through a flushed temporary file in the same
// folder and a rename. Creates missing folders; keeps an existing file's
// permissions. Answers the reason on failure, nothing on success.
PLATFORM_EXPORT std::optional<std::string> writeFileAtomically(const std::string& path, const std::string& bytes);

} // namespace platform
