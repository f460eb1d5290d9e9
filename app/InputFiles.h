// Files and folders named on the command line or in a script. A name that is no
// such file or folder is a usage error, whichever way it was given; one that
// exists but cannot be read is a failure while running. Files are opened as the
// calendar store opens its items: without blocking, and only regular files, so
// that a FIFO or a device named by mistake never stalls the command.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace platform {
struct FileRead;
} // namespace platform

enum class PathKind { File, Folder, FileOrFolder };

// Why the path cannot be used as that kind, as the end of a sentence that starts
// with its name: "does not exist", "is a symbolic-link loop", "is a folder, not
// a file", "is not a regular file"; empty when it can, or when only opening it
// can tell (a folder that may not be entered).
std::string pathProblem(const std::string& path, PathKind kind);

// Whether "-" stands for standard input rather than a file of that name.
enum class StandardInput { Allowed, NotAllowed };

// A check for an option that names a file or folder, with pathProblem's words.
CLI::Validator existingPath(PathKind kind, StandardInput standardInput = StandardInput::NotAllowed);

// Why the file could not be read whole, as the rest of a sentence ("permission
// denied", "it is not a regular file"); empty when it was.
std::string readProblem(const platform::FileRead& read);

// The bytes of a regular file, such as "the script" or "the wallpaper" (`what`).
// UsageError when the name is no file ("the script x.simulate does not exist"),
// CommandError when it cannot be read ("cannot read the script x: permission
// denied").
std::string readInputFile(const std::string& path, const std::string& what);
