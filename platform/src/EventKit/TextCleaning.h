// Text from calendar files as the lock screen can show it.
#pragma once

#include <string>
#include <string_view>

namespace eventkit {

// Valid UTF-8 on one line: each broken byte sequence becomes U+FFFD, control
// characters and line separators count as spaces, runs of spaces shrink to one
// and the ends are trimmed. It stops at a character once it holds
// `maxCleanTextBytes`: a title of megabytes shows no more on a lock screen.
constexpr std::size_t maxCleanTextBytes = 4096;
std::string cleanText(std::string_view text);

} // namespace eventkit
