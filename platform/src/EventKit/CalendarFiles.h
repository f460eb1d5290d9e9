// Reading calendar files: their stamps, and many items parsed at once.
#pragma once

#include "CalendarItem.h"
#include "ErrorOr.h"
#include "QuickScan.h"

#include <sys/stat.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace eventkit {

// What tells a changed file from an unchanged one. The inode catches a file
// replaced by renaming a new one over it within the same clock tick; the
// change time (which no program can set back) a file rewritten in place whose
// size and modification time were restored.
struct FileStamp {
    timespec modified {};
    timespec changed {};
    off_t size = 0;
    ino_t inode = 0;

    static FileStamp of(const struct stat& info);
    static FileStamp of(const struct statx& info);
    bool operator==(const FileStamp& other) const;
};

// The stamp of a regular file; nothing when there is none.
std::optional<FileStamp> stampOf(const std::string& path);
// The same for a file `name` in an open folder (one lookup of the name alone).
std::optional<FileStamp> stampAt(int folder, const char* name);
// The stamps of the files `names` in an open folder, in their order, taken on
// several threads when there are many (a large calendar's freshness check is
// little else).
std::vector<std::optional<FileStamp>> stampsAt(int folder, const std::vector<const char*>& names);
// The stamp of a folder, whose modification and change times move whenever an
// entry is added, removed or renamed in it; nothing when it is no folder.
std::optional<FileStamp> folderStampOf(const std::string& path);

// An item file or calendar folder that a calendar leaves out, and why
// ("it is not an iCalendar file", "Permission denied").
struct SkippedFile {
    std::string path;
    std::string reason;
};

// The whole text of a regular file.
std::optional<std::string> readWholeFile(const std::string& path);

// Whether a name in a calendar folder is one of its items: a visible .ics file
// (.ICS too, as some exporters write it).
bool isItemName(std::string_view name);
// The names of the items in a calendar folder, in the folder's order; else why
// it cannot be listed (Unreadable).
ErrorOr<std::vector<std::string>> itemNamesIn(const std::string& folder);

struct ReadItemFile {
    FileStamp stamp;
    std::shared_ptr<const ParsedFile> parsed;
    std::optional<ItemBounds> deferred; // set instead of `parsed` for a plain item left for later
};

enum class Parsing {
    Now,
    // Plain items (see QuickScan.h) are only glanced at.
    WhenNeeded,
};

// Reads and parses .ics files, on several threads when there are many (a first
// load of a large calendar spends nearly all its time here). Answers in the
// order of `paths`: each file, or why it cannot be read (Unreadable,
// NotRegular); the parse problems stay in each file's `problems`.
std::vector<ErrorOr<ReadItemFile>> readItemFiles(const std::vector<std::string>& paths, Parsing parsing);

// The log line of an item file that cannot be read.
void logSkipped(const std::string& path, const StoreError& error);

} // namespace eventkit
