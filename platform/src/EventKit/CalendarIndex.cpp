#include "CalendarIndex.h"

#include <Foundation/NSLog.h>

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>

namespace eventkit {
namespace {

// Another process may be writing the index; wait this long for it.
constexpr int busyMilliseconds = 2000;

constexpr const char* schema = "CREATE TABLE files ("
                               "  path TEXT PRIMARY KEY,"
                               "  size INTEGER NOT NULL,"
                               "  mtime_ns INTEGER NOT NULL,"
                               "  inode INTEGER NOT NULL"
                               ") WITHOUT ROWID;";

struct StatementFinalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalize>;

Statement prepare(sqlite3* database, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(database, sql, -1, &statement, nullptr);
    return Statement(statement);
}

std::int64_t nanoseconds(const timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

timespec timespecOf(std::int64_t nanoseconds)
{
    return { static_cast<time_t>(nanoseconds / 1'000'000'000), static_cast<long>(nanoseconds % 1'000'000'000) };
}

// The schema version of an open database; nothing when it is not a database.
std::optional<int> versionOf(sqlite3* database)
{
    Statement query = prepare(database, "PRAGMA user_version;");
    if (!query || sqlite3_step(query.get()) != SQLITE_ROW)
        return std::nullopt;
    return sqlite3_column_int(query.get(), 0);
}

bool createSchema(sqlite3* database)
{
    const std::string script = "BEGIN;" + std::string(schema)
        + "PRAGMA user_version = " + std::to_string(CalendarIndex::schemaVersion) + ";COMMIT;";
    return sqlite3_exec(database, script.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

sqlite3* openDatabase(const std::string& path)
{
    sqlite3* database = nullptr;
    if (sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        sqlite3_close(database);
        return nullptr;
    }
    sqlite3_busy_timeout(database, busyMilliseconds);
    return database;
}

void removeDatabase(const std::string& path)
{
    std::error_code error;
    for (const char* suffix : { "", "-wal", "-shm", "-journal" })
        std::filesystem::remove(path + suffix, error);
}

// An open index of this version, or null with the reason in `problem`.
sqlite3* openCurrent(const std::string& path, std::string& problem)
{
    sqlite3* database = openDatabase(path);
    if (!database) {
        problem = "it cannot be opened";
        return nullptr;
    }
    const std::optional<int> version = versionOf(database);
    if (version == CalendarIndex::schemaVersion)
        return database;
    if (version == 0 && createSchema(database))
        return database;
    sqlite3_close(database);
    problem = version ? "it is of schema version " + std::to_string(*version) : "it is not an SQLite database";
    return nullptr;
}

} // namespace

std::unique_ptr<CalendarIndex> CalendarIndex::open(const std::string& path)
{
    std::string problem;
    sqlite3* database = openCurrent(path, problem);
    if (!database) {
        NSLog("EventKit: calendar index %s: %s; building it anew", path.c_str(), problem.c_str());
        removeDatabase(path);
        database = openCurrent(path, problem);
    }
    if (!database) {
        NSLog("EventKit: no calendar index can be kept at %s: %s; reading the files alone", path.c_str(),
            problem.c_str());
        return nullptr;
    }
    sqlite3_exec(database, "PRAGMA journal_mode = WAL;", nullptr, nullptr, nullptr);
    return std::unique_ptr<CalendarIndex>(new CalendarIndex(database));
}

CalendarIndex::CalendarIndex(sqlite3* database)
    : database_(database)
{
}

CalendarIndex::~CalendarIndex()
{
    sqlite3_close(database_);
}

std::optional<FileStamp> CalendarIndex::recordedStamp(const std::string& path) const
{
    Statement query = prepare(database_, "SELECT size, mtime_ns, inode FROM files WHERE path = ?1;");
    sqlite3_bind_text(query.get(), 1, path.data(), static_cast<int>(path.size()), SQLITE_STATIC);
    if (sqlite3_step(query.get()) != SQLITE_ROW)
        return std::nullopt;
    FileStamp stamp;
    stamp.size = static_cast<off_t>(sqlite3_column_int64(query.get(), 0));
    stamp.modified = timespecOf(sqlite3_column_int64(query.get(), 1));
    stamp.inode = static_cast<ino_t>(sqlite3_column_int64(query.get(), 2));
    return stamp;
}

bool CalendarIndex::isFresh(const std::string& path, const FileStamp& now) const
{
    const std::optional<FileStamp> recorded = recordedStamp(path);
    return recorded && *recorded == now;
}

void CalendarIndex::record(const std::string& path, const FileStamp& stamp)
{
    Statement insert
        = prepare(database_, "INSERT OR REPLACE INTO files (path, size, mtime_ns, inode) VALUES (?1, ?2, ?3, ?4);");
    sqlite3_bind_text(insert.get(), 1, path.data(), static_cast<int>(path.size()), SQLITE_STATIC);
    sqlite3_bind_int64(insert.get(), 2, static_cast<sqlite3_int64>(stamp.size));
    sqlite3_bind_int64(insert.get(), 3, nanoseconds(stamp.modified));
    sqlite3_bind_int64(insert.get(), 4, static_cast<sqlite3_int64>(stamp.inode));
    if (sqlite3_step(insert.get()) != SQLITE_DONE)
        NSLog("EventKit: calendar index: cannot record %s: %s", path.c_str(), sqlite3_errmsg(database_));
}

void CalendarIndex::forget(const std::string& path)
{
    Statement remove = prepare(database_, "DELETE FROM files WHERE path = ?1;");
    sqlite3_bind_text(remove.get(), 1, path.data(), static_cast<int>(path.size()), SQLITE_STATIC);
    sqlite3_step(remove.get());
}

} // namespace eventkit
