// The persistent index of calendar files, in an SQLite database, as the phone
// keeps its calendars in one: what each source file was when it was last read,
// so that a later process needs to read again only the files that changed.
//
// A file's identity is its path, size, modification time in nanoseconds and
// inode: a file rewritten in place changes its time or size, and one renamed
// over it (as vdirsyncer writes) changes its inode. The index is a cache only:
// it can always be deleted and built again.
#pragma once

#include "CalendarFiles.h"

#include <memory>
#include <optional>
#include <string>

struct sqlite3;

namespace eventkit {

class CalendarIndex {
public:
    // The layout of the tables; an index of any other version is built anew.
    static constexpr int schemaVersion = 1;

    // Opens the index at `path`, creating it when there is none. One that is
    // not an SQLite database, or of another schema version, is built anew with
    // one log line. Nothing, with one log line, when no index can be kept
    // there (a read-only folder): the caller then works from the files alone.
    static std::unique_ptr<CalendarIndex> open(const std::string& path);
    ~CalendarIndex();
    CalendarIndex(const CalendarIndex&) = delete;
    CalendarIndex& operator=(const CalendarIndex&) = delete;

    // What the index last recorded of a file; nothing for a file it does not know.
    std::optional<FileStamp> recordedStamp(const std::string& path) const;
    // Whether a file is as the index recorded it, so that what was read from
    // it still holds.
    bool isFresh(const std::string& path, const FileStamp& now) const;
    void record(const std::string& path, const FileStamp& stamp);
    void forget(const std::string& path);

private:
    explicit CalendarIndex(sqlite3* database);

    sqlite3* database_;
};

} // namespace eventkit
