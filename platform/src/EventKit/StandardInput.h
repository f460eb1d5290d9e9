// The calendar that "-" names among the host's sources: the process's standard
// input (`curl -s URL | dayglass list --calendars -`). It can be read only
// once, and a store reads its calendars by path, again and again, so it is kept
// in a file of the process's own for as long as the process runs.
#pragma once

#include <string>

namespace eventkit {

inline constexpr const char* standardInputName = "-";

// The file that holds all of standard input, read at the first call; empty,
// with one log line, when no such file can be made.
const std::string& standardInputCopy();
// Whether `path` is that file; standard input is never read for the answer.
bool isStandardInputCopy(const std::string& path);

} // namespace eventkit
