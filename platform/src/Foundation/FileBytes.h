// Whole-file reads and atomic whole-file writes on the host file system.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The bytes of a regular file; nothing for a missing or unreadable file, a
// folder, or one too large to hold.
std::optional<std::string> readFileBytes(const std::string& path, std::size_t maximumSize);

// Replaces the file with `bytes` through a flushed temporary file in the same
// folder and a rename. Creates missing folders; keeps an existing file's
// permissions. Answers the reason on failure, nothing on success.
std::optional<std::string> writeFileAtomically(const std::string& path, const std::string& bytes);

} // namespace platform
