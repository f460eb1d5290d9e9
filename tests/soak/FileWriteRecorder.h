// Records which libraries were on the stack whenever this process asked to change
// a file: the open family with a writing mode, fopen with "w", "a" or "+", and the
// calls that make, rename or remove names (mkstemp, mkdir, rename, unlink,
// truncate). The calls are interposed in the test binary itself, so every library
// loaded into it, a dlopen'ed extension included, goes through them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace file_writes {

struct Write {
    std::string call;
    // Absolute where the call's own path and folder descriptor say so.
    std::string path;
    // File names of the libraries on the stack, innermost first.
    std::vector<std::string> libraries;
};

// Starts keeping the writes made with a library of this file name on the stack
// ("Dayglass2.dylib"); every other write is only counted.
void watch(const std::string& libraryFileName);
void unwatch(const std::string& libraryFileName);
// The writes kept since the last clear, and the count of every write seen.
std::vector<Write> kept();
std::size_t seen();
void clear();

} // namespace file_writes
