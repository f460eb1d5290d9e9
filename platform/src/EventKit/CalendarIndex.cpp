#include "CalendarIndex.h"

#include <Foundation/NSLog.h>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace eventkit {
namespace {

// Another process may be writing the index; wait this long for it.
constexpr int busyMilliseconds = 2000;
// A stamp read this close after its file's last change may not tell a later change.
constexpr std::int64_t racyNanoseconds = 1'000'000'000;
// Files whose reach is longer than this are looked up by overlap, the rest by
// their start, which an index orders.
constexpr double wideSeconds = 8 * 86400.0;
// What stands for infinity in the reach columns.
constexpr double farSeconds = 1e18;
// How far a floating time can move once a zone reads it, with room to spare.
constexpr double floatingSeconds = 86400;

constexpr const char* schema
    = "CREATE TABLE listings (calendar TEXT PRIMARY KEY, folder BLOB, files BLOB NOT NULL);"
      "CREATE TABLE files ("
      "  path TEXT PRIMARY KEY, calendar TEXT NOT NULL,"
      "  reach_from REAL NOT NULL, reach_to REAL NOT NULL, wide INTEGER NOT NULL, shared INTEGER NOT NULL DEFAULT 0,"
      "  calendar_name TEXT, calendar_color BLOB,"
      "  expanded_from REAL NOT NULL, expanded_to REAL NOT NULL, plain INTEGER NOT NULL, skipped TEXT) WITHOUT ROWID;"
      // Covers what a query filters by, so that only the files it reads are looked up.
      "CREATE INDEX files_by_reach ON files (calendar, shared, wide, reach_from, reach_to, expanded_from, expanded_to);"
      "CREATE INDEX files_skipped ON files (calendar) WHERE skipped IS NOT NULL;"
      "CREATE TABLE uids (calendar TEXT NOT NULL, uid TEXT NOT NULL, path TEXT NOT NULL,"
      "  PRIMARY KEY (calendar, uid, path)) WITHOUT ROWID;"
      "CREATE INDEX uids_by_path ON uids (path);"
      "CREATE TABLE occurrences (path TEXT NOT NULL, calendar TEXT NOT NULL, start REAL NOT NULL, end REAL NOT NULL,"
      "  original REAL NOT NULL, wide INTEGER NOT NULL, floating INTEGER NOT NULL, days INTEGER NOT NULL,"
      "  seconds INTEGER NOT NULL, all_day INTEGER NOT NULL, uid TEXT NOT NULL, recurrence_id TEXT NOT NULL,"
      "  title TEXT, location TEXT);"
      "CREATE INDEX occurrences_by_start ON occurrences (calendar, wide, start);"
      "CREATE INDEX occurrences_by_path ON occurrences (path);";

struct StatementFinalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using OwnedStatement = std::unique_ptr<sqlite3_stmt, StatementFinalize>;

OwnedStatement prepare(sqlite3* database, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(database, sql, -1, &statement, nullptr);
    return OwnedStatement(statement);
}

void bindText(sqlite3_stmt* statement, int slot, const std::string& text)
{
    sqlite3_bind_text(statement, slot, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

void bindOptionalText(sqlite3_stmt* statement, int slot, const std::optional<std::string>& text)
{
    if (text)
        bindText(statement, slot, *text);
    else
        sqlite3_bind_null(statement, slot);
}

std::string columnText(sqlite3_stmt* statement, int column)
{
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
    return bytes ? std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))) : "";
}

std::int64_t nanoseconds(const timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

timespec timespecOf(std::int64_t nanoseconds)
{
    return { static_cast<time_t>(nanoseconds / 1'000'000'000), static_cast<long>(nanoseconds % 1'000'000'000) };
}

std::optional<std::string> columnOptionalText(sqlite3_stmt* statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return std::nullopt;
    return columnText(statement, column);
}

double clamped(double seconds)
{
    return std::isnan(seconds) ? 0 : std::clamp(seconds, -farSeconds, farSeconds);
}

// The schema version of an open database; nothing when it is not a database.
std::optional<int> versionOf(sqlite3* database)
{
    OwnedStatement query = prepare(database, "PRAGMA user_version;");
    if (!query || sqlite3_step(query.get()) != SQLITE_ROW)
        return std::nullopt;
    return sqlite3_column_int(query.get(), 0);
}

bool createSchema(sqlite3* database)
{
    const std::string script = "BEGIN IMMEDIATE;" + std::string(schema)
        + "PRAGMA user_version = " + std::to_string(CalendarIndex::schemaVersion) + ";COMMIT;";
    if (sqlite3_exec(database, script.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    sqlite3_exec(database, "ROLLBACK;", nullptr, nullptr, nullptr);
    // Another process may have made it meanwhile.
    return versionOf(database) == CalendarIndex::schemaVersion;
}

sqlite3* openDatabase(const std::string& path)
{
    sqlite3* database = nullptr;
    // A connection is only ever used under its store's lock, so SQLite need not take locks of its own.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &database, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(database);
        return nullptr;
    }
    sqlite3_busy_timeout(database, busyMilliseconds);
    // A cache needs no durability, only consistency, which the write-ahead log
    // keeps without a flush at every commit.
    sqlite3_exec(database, "PRAGMA synchronous = NORMAL;", nullptr, nullptr, nullptr);
    // Room for a large first reading in one transaction: pages spilled early
    // are written twice.
    sqlite3_exec(database, "PRAGMA cache_size = -16384;", nullptr, nullptr, nullptr);
    return database;
}

// Why a statement failed. A database that is taken for a while refuses a
// write as "it cannot be written", a read as "it is locked".
StoreError errorOf(int result, bool writing)
{
    using Kind = StoreError::Kind;
    switch (result & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return { Kind::Busy, writing ? "it cannot be written" : "it is locked" };
    case SQLITE_READONLY:
        return { Kind::ReadOnly, sqlite3_errstr(result) };
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return { Kind::Corrupt, sqlite3_errstr(result) };
    default:
        return { Kind::Failed, sqlite3_errstr(result) };
    }
}

struct DatabaseClose {
    void operator()(sqlite3* database) const { sqlite3_close(database); }
};
using Database = std::unique_ptr<sqlite3, DatabaseClose>;

// An open index of this version, or why there is none.
ErrorOr<Database> openCurrent(const std::string& path)
{
    using Kind = StoreError::Kind;
    Database database(openDatabase(path));
    if (!database)
        return StoreError { Kind::CannotOpen, "it cannot be opened" };
    // Checks the whole header and makes the journal mode persistent; a file
    // that is no database fails here.
    const int wal = sqlite3_exec(database.get(), "PRAGMA journal_mode = WAL;", nullptr, nullptr, nullptr) & 0xff;
    const std::optional<int> version = wal == SQLITE_OK ? versionOf(database.get()) : std::nullopt;
    if (version == CalendarIndex::schemaVersion || (version == 0 && createSchema(database.get())))
        return database;
    if (wal == SQLITE_BUSY || wal == SQLITE_LOCKED)
        return StoreError { Kind::Busy, "it is locked" };
    if (!version)
        return StoreError { Kind::Corrupt, "it is not an SQLite database" };
    return StoreError { Kind::ForeignVersion, "it is of schema version " + std::to_string(*version) };
}

// A listing is kept as one record per calendar, since every store reads all
// of it: each value a fixed-size integer in the machine's byte order (the index
// is a cache of this machine's files), each name preceded by its length.
class ListingWriter {
public:
    void add(std::int64_t value) { bytes_.append(reinterpret_cast<const char*>(&value), sizeof value); }
    void add(const char* name)
    {
        const std::size_t length = std::strlen(name);
        add(static_cast<std::int64_t>(length));
        bytes_.append(name, length + 1);
    }
    void add(const CalendarIndex::Known& known)
    {
        add(static_cast<std::int64_t>(known.stamp.size));
        add(nanoseconds(known.stamp.modified));
        add(nanoseconds(known.stamp.changed));
        add(static_cast<std::int64_t>(known.stamp.inode));
        add(known.readAt);
    }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Binds what the queries of a calendar's window share: ?1 the calendar, ?2 and
// ?3 the window, ?4 how long a narrow file or occurrence lasts at most, ?5 how
// far a floating time can move.
void bindWindow(sqlite3_stmt* statement, const std::string& calendar, double from, double to)
{
    bindText(statement, 1, calendar);
    sqlite3_bind_double(statement, 2, from);
    sqlite3_bind_double(statement, 3, to);
    sqlite3_bind_double(statement, 4, wideSeconds);
    sqlite3_bind_double(statement, 5, floatingSeconds);
}

// One name within a folder: a listing read back must not lead anywhere else.
bool isFileName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

// Reads what ListingWriter wrote; any read past the end, or a length that
// cannot be, marks the record damaged.
class ListingReader {
public:
    ListingReader(const void* bytes, int size)
        : at_(static_cast<const char*>(bytes))
        , end_(at_ + std::max(size, 0))
    {
    }
    bool done() const { return at_ == end_; }
    bool damaged() const { return damaged_; }

    std::int64_t integer()
    {
        std::int64_t value = 0;
        if (end_ - at_ < static_cast<std::ptrdiff_t>(sizeof value)) {
            damaged_ = true;
            at_ = end_;
            return 0;
        }
        std::memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    // Where the name is in the bytes read; it is ended by a NUL. Anything but
    // the name of a file in the calendar's folder marks the record damaged.
    const char* name()
    {
        const std::int64_t length = integer();
        if (length < 0 || length >= end_ - at_ || at_[length] != '\0'
            || !isFileName(std::string_view(at_, static_cast<std::size_t>(length)))) {
            damaged_ = true;
            at_ = end_;
            return "";
        }
        const char* name = at_;
        at_ += length + 1;
        return name;
    }
    CalendarIndex::Known known()
    {
        CalendarIndex::Known known;
        known.stamp.size = static_cast<off_t>(integer());
        known.stamp.modified = timespecOf(integer());
        known.stamp.changed = timespecOf(integer());
        known.stamp.inode = static_cast<ino_t>(integer());
        known.readAt = integer();
        return known;
    }

private:
    const char* at_;
    const char* end_;
    bool damaged_ = false;
};

} // namespace

std::unique_ptr<CalendarIndex> CalendarIndex::open(const std::string& path)
{
    using Kind = StoreError::Kind;
    ErrorOr<Database> database = openCurrent(path);
    // A damaged index, or one of another version, is only a cache of the files.
    if (!database && (database.error().kind == Kind::Corrupt || database.error().kind == Kind::ForeignVersion)) {
        NSLog("EventKit: calendar index %s: %s; building it anew", path.c_str(), database.error().message.c_str());
        remove(path);
        database = openCurrent(path);
    }
    if (!database) {
        NSLog("EventKit: no calendar index can be kept at %s: %s; reading the files alone", path.c_str(),
            database.error().message.c_str());
        return nullptr;
    }
    return std::unique_ptr<CalendarIndex>(new CalendarIndex(std::move(database).value().release()));
}

std::unique_ptr<CalendarIndex> CalendarIndex::inMemory()
{
    Database database(openDatabase(":memory:"));
    if (!database || !createSchema(database.get()))
        return nullptr;
    return std::unique_ptr<CalendarIndex>(new CalendarIndex(database.release()));
}

void CalendarIndex::remove(const std::string& path)
{
    std::error_code error;
    for (const char* suffix : { "", "-wal", "-shm", "-journal" })
        std::filesystem::remove(path + suffix, error);
}

CalendarIndex::CalendarIndex(sqlite3* database)
    : database_(database)
{
    // The UIDs of the files recorded or forgotten since the files were last
    // marked; the connection's own, in memory. Without it, the first marking
    // fails and the index is given up.
    sqlite3_exec(database_, "PRAGMA temp_store = MEMORY;", nullptr, nullptr, nullptr);
    sqlite3_exec(
        database_, "CREATE TEMP TABLE touched_uids (uid TEXT PRIMARY KEY) WITHOUT ROWID;", nullptr, nullptr, nullptr);
}

CalendarIndex::~CalendarIndex()
{
    for (sqlite3_stmt* statement : statements_)
        sqlite3_finalize(statement);
    sqlite3_close(database_);
}

CalendarIndex::Prepared::~Prepared()
{
    if (statement_) {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
}

const char* CalendarIndex::textOf(Statement statement)
{
    switch (statement) {
    case Statement::ListingOf:
        return "SELECT folder, files FROM listings WHERE calendar = ?1;";
    case Statement::RecordListing:
        return "INSERT OR REPLACE INTO listings (calendar, folder, files) VALUES (?1, ?2, ?3);";
    case Statement::RecordFile:
        return "INSERT INTO files (path, calendar, reach_from, reach_to, wide, calendar_name, calendar_color,"
               " expanded_from, expanded_to, plain, skipped) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11);";
    case Statement::RecordUid:
        return "INSERT OR IGNORE INTO uids (calendar, uid, path) VALUES (?1, ?2, ?3);";
    case Statement::TouchUid:
        return "INSERT OR IGNORE INTO touched_uids (uid) VALUES (?1);";
    case Statement::UpdateExpansion:
        return "UPDATE files SET expanded_from = ?2, expanded_to = ?3 WHERE path = ?1;";
    case Statement::RecordOccurrence:
        return "INSERT INTO occurrences (path, calendar, start, end, original, wide, floating, days, seconds, all_day,"
               " uid, recurrence_id, title, location) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13,"
               " ?14);";
    case Statement::TouchUidsOfPath:
        return "INSERT OR IGNORE INTO touched_uids SELECT uid FROM uids WHERE path = ?1;";
    case Statement::ForgetFile:
        return "DELETE FROM files WHERE path = ?1;";
    case Statement::ForgetUidsOfPath:
        return "DELETE FROM uids WHERE path = ?1;";
    case Statement::ForgetOccurrencesOfPath:
        return "DELETE FROM occurrences WHERE path = ?1;";
    case Statement::ForgetListing:
        return "DELETE FROM listings WHERE calendar = ?1;";
    case Statement::ForgetFilesOfCalendar:
        return "DELETE FROM files WHERE calendar = ?1;";
    case Statement::ForgetUidsOfCalendar:
        return "DELETE FROM uids WHERE calendar = ?1;";
    case Statement::ForgetOccurrencesOfCalendar:
        return "DELETE FROM occurrences WHERE calendar = ?1;";
    case Statement::MarkSharedUids:
        // Only the files that hold a UID touched can change, and only the rows
        // whose mark changes are written; the UIDs shared in the calendar are
        // gathered once.
        return "UPDATE files SET shared = NOT shared WHERE path IN (SELECT path FROM uids WHERE calendar = ?1 AND uid"
               " IN touched_uids) AND shared <> (path IN (SELECT path FROM uids WHERE calendar = ?1 AND uid IN"
               " (SELECT uid FROM uids WHERE calendar = ?1 GROUP BY uid HAVING count(DISTINCT path) > 1)));";
    case Statement::ClearTouchedUids:
        return "DELETE FROM touched_uids;";
    case Statement::FilesReaching:
        // The files are chosen in the reach index alone; only those chosen are looked up.
        return "SELECT path, NOT shared AND (plain OR expanded_from <= expanded_to) FROM files"
               " WHERE path IN (SELECT path FROM files WHERE calendar = ?1 AND shared = 0 AND wide = 0"
               "  AND reach_from >= ?2 - ?4 AND reach_from < ?3 AND reach_to >= ?2"
               "  AND NOT (expanded_from <= ?2 - ?5 AND expanded_to >= ?3 + ?5)"
               " UNION ALL SELECT path FROM files WHERE calendar = ?1 AND shared = 0 AND wide = 1"
               "  AND reach_from < ?3 AND reach_to >= ?2"
               "  AND NOT (expanded_from <= ?2 - ?5 AND expanded_to >= ?3 + ?5)"
               " UNION ALL SELECT path FROM files WHERE calendar = ?1 AND shared = 1)"
               " ORDER BY path;";
    case Statement::OccurrencesReaching:
        return "SELECT start, end, original, floating, days, seconds, all_day, uid, recurrence_id, title, location,"
               " path FROM occurrences WHERE calendar = ?1 AND wide = 0 AND start >= ?2 - ?4 - ?5 AND start < ?3 + ?5"
               " UNION ALL SELECT start, end, original, floating, days, seconds, all_day, uid, recurrence_id, title,"
               " location, path FROM occurrences WHERE calendar = ?1 AND wide = 1 AND start < ?3 + ?5"
               " AND end >= ?2 - ?5;";
    case Statement::CalendarName:
        return "SELECT calendar_name FROM files WHERE calendar = ?1 AND calendar_name <> '' ORDER BY path LIMIT 1;";
    case Statement::CalendarColor:
        return "SELECT calendar_color FROM files WHERE calendar = ?1 AND length(calendar_color) = ?2 ORDER BY path"
               " LIMIT 1;";
    case Statement::SkippedFiles:
        return "SELECT path, skipped FROM files WHERE calendar = ?1 AND skipped IS NOT NULL ORDER BY path;";
    case Statement::EventCount:
        return "SELECT COUNT(DISTINCT uid) FROM uids WHERE calendar = ?1;";
    case Statement::Count:
        break;
    }
    return "";
}

// Statements are prepared once for the index; a use resets its statement at
// the end, so that no read stays open. One that cannot be prepared is tried
// again at its next use, and fails its step.
CalendarIndex::Prepared CalendarIndex::prepared(Statement which) const
{
    sqlite3_stmt*& statement = statements_[static_cast<std::size_t>(which)];
    if (!statement)
        sqlite3_prepare_v2(database_, textOf(which), -1, &statement, nullptr);
    return Prepared(statement);
}

ErrorOr<void> CalendarIndex::run(const char* sql) const
{
    const int result = sqlite3_exec(database_, sql, nullptr, nullptr, nullptr);
    if (result != SQLITE_OK)
        return errorOf(result, true);
    return {};
}

ErrorOr<bool> CalendarIndex::step(sqlite3_stmt* statement) const
{
    const int result = statement ? sqlite3_step(statement) : sqlite3_errcode(database_);
    if (result == SQLITE_ROW || result == SQLITE_DONE)
        return result == SQLITE_ROW;
    return errorOf(result == SQLITE_OK ? SQLITE_ERROR : result, !statement || !sqlite3_stmt_readonly(statement));
}

ErrorOr<void> CalendarIndex::stepToEnd(sqlite3_stmt* statement) const
{
    TRY(step(statement));
    return {};
}

// Runs statements that each take one text, in order.
ErrorOr<void> CalendarIndex::runEach(std::initializer_list<Statement> statements, const std::string& text) const
{
    for (Statement which : statements) {
        Prepared statement = prepared(which);
        bindText(statement.get(), 1, text);
        TRY(stepToEnd(statement.get()));
    }
    return {};
}

bool CalendarIndex::isFresh(const Known& known, const FileStamp& now)
{
    return known.stamp == now && known.readAt - nanoseconds(now.changed) >= racyNanoseconds;
}

ErrorOr<std::optional<CalendarIndex::Listing>> CalendarIndex::listingOf(const std::string& calendar) const
{
    Prepared query = prepared(Statement::ListingOf);
    bindText(query.get(), 1, calendar);
    if (!TRY(step(query.get())))
        return std::optional<Listing>();
    Listing listing;
    sqlite3_stmt* row = query.get();
    if (sqlite3_column_type(row, 0) != SQLITE_NULL) {
        ListingReader folder(sqlite3_column_blob(row, 0), sqlite3_column_bytes(row, 0));
        listing.folder = folder.known();
        if (folder.damaged() || !folder.done())
            return std::optional<Listing>();
    }
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(row, 1));
    listing.names.assign(bytes, bytes + sqlite3_column_bytes(row, 1));
    ListingReader files(listing.names.data(), static_cast<int>(listing.names.size()));
    while (!files.done()) {
        const char* name = files.name();
        listing.files.push_back({ name, files.known() });
    }
    if (files.damaged())
        return std::optional<Listing>();
    return std::optional<Listing>(std::move(listing));
}

ErrorOr<void> CalendarIndex::recordListing(const std::string& calendar, const Listing& listing)
{
    ListingWriter folder, files;
    if (listing.folder)
        folder.add(*listing.folder);
    for (const Listing::Entry& entry : listing.files) {
        files.add(entry.name);
        files.add(entry.known);
    }
    Prepared insert = prepared(Statement::RecordListing);
    bindText(insert.get(), 1, calendar);
    if (listing.folder)
        sqlite3_bind_blob(
            insert.get(), 2, folder.bytes().data(), static_cast<int>(folder.bytes().size()), SQLITE_STATIC);
    sqlite3_bind_blob(insert.get(), 3, files.bytes().data(), static_cast<int>(files.bytes().size()), SQLITE_STATIC);
    return stepToEnd(insert.get());
}

ErrorOr<void> CalendarIndex::record(const std::string& calendar, const FileRecord& file)
{
    Prepared insert = prepared(Statement::RecordFile);
    bindText(insert.get(), 1, file.path);
    bindText(insert.get(), 2, calendar);
    const double from = clamped(file.reachFrom);
    const double to = clamped(file.reachTo);
    sqlite3_bind_double(insert.get(), 3, from);
    sqlite3_bind_double(insert.get(), 4, to);
    sqlite3_bind_int(insert.get(), 5, to - from > wideSeconds);
    if (file.calendarName)
        bindText(insert.get(), 6, *file.calendarName);
    if (file.calendarColor)
        sqlite3_bind_blob(insert.get(), 7, &*file.calendarColor, sizeof(RGBA), SQLITE_STATIC);
    // Nothing expanded is an empty horizon.
    sqlite3_bind_double(insert.get(), 8, file.expansion ? file.expansion->from : farSeconds);
    sqlite3_bind_double(insert.get(), 9, file.expansion ? file.expansion->to : -farSeconds);
    sqlite3_bind_int(insert.get(), 10, file.plain);
    bindOptionalText(insert.get(), 11, file.skipped);
    TRY(stepToEnd(insert.get()));
    if (file.expansion)
        TRY(recordOccurrences(calendar, file.path, *file.expansion));
    Prepared uid = prepared(Statement::RecordUid);
    Prepared touched = prepared(Statement::TouchUid);
    for (const std::string& name : file.uids) {
        sqlite3_reset(uid.get());
        sqlite3_reset(touched.get());
        bindText(uid.get(), 1, calendar);
        bindText(uid.get(), 2, name);
        bindText(uid.get(), 3, file.path);
        bindText(touched.get(), 1, name);
        TRY(stepToEnd(uid.get()));
        TRY(stepToEnd(touched.get()));
    }
    return {};
}

bool CalendarIndex::covers(const FileRecord::Expansion& expansion, double from, double to)
{
    return expansion.from <= from - floatingSeconds && expansion.to >= to + floatingSeconds;
}

ErrorOr<void> CalendarIndex::recordExpansion(
    const std::string& calendar, const std::string& path, const FileRecord::Expansion& expansion)
{
    Prepared update = prepared(Statement::UpdateExpansion);
    bindText(update.get(), 1, path);
    sqlite3_bind_double(update.get(), 2, expansion.from);
    sqlite3_bind_double(update.get(), 3, expansion.to);
    TRY(stepToEnd(update.get()));
    TRY(runEach({ Statement::ForgetOccurrencesOfPath }, path));
    return recordOccurrences(calendar, path, expansion);
}

ErrorOr<void> CalendarIndex::recordOccurrences(
    const std::string& calendar, const std::string& path, const FileRecord::Expansion& expansion)
{
    Prepared insert = prepared(Statement::RecordOccurrence);
    for (const Occurrence& occurrence : expansion.occurrences) {
        sqlite3_reset(insert.get());
        const double start = clamped(unixSeconds(occurrence.start));
        const double end = clamped(unixSeconds(occurrence.end));
        bindText(insert.get(), 1, path);
        bindText(insert.get(), 2, calendar);
        sqlite3_bind_double(insert.get(), 3, start);
        sqlite3_bind_double(insert.get(), 4, end);
        sqlite3_bind_double(insert.get(), 5, clamped(unixSeconds(occurrence.originalStart)));
        sqlite3_bind_int(insert.get(), 6, end - start > wideSeconds);
        sqlite3_bind_int(insert.get(), 7, occurrence.floating);
        sqlite3_bind_int(insert.get(), 8, occurrence.length.days);
        sqlite3_bind_int64(insert.get(), 9, occurrence.length.seconds);
        sqlite3_bind_int(insert.get(), 10, occurrence.allDay);
        bindText(insert.get(), 11, occurrence.uid);
        bindText(insert.get(), 12, occurrence.recurrenceId);
        bindOptionalText(insert.get(), 13, occurrence.title);
        bindOptionalText(insert.get(), 14, occurrence.location);
        TRY(stepToEnd(insert.get()));
    }
    return {};
}

ErrorOr<void> CalendarIndex::forget(const std::string& path)
{
    return runEach({ Statement::TouchUidsOfPath, Statement::ForgetFile, Statement::ForgetUidsOfPath,
                       Statement::ForgetOccurrencesOfPath },
        path);
}

ErrorOr<void> CalendarIndex::forgetCalendar(const std::string& calendar)
{
    return runEach({ Statement::ForgetListing, Statement::ForgetFilesOfCalendar, Statement::ForgetUidsOfCalendar,
                       Statement::ForgetOccurrencesOfCalendar },
        calendar);
}

ErrorOr<void> CalendarIndex::markSharedUids(const std::string& calendar)
{
    TRY(runEach({ Statement::MarkSharedUids }, calendar));
    return stepToEnd(prepared(Statement::ClearTouchedUids).get());
}

CalendarIndex::Writing::Writing(CalendarIndex& index)
    : index_(index)
{
}

CalendarIndex::Writing::~Writing()
{
    if (open_)
        (void)index_.run("ROLLBACK;");
}

ErrorOr<void> CalendarIndex::Writing::begin()
{
    TRY(index_.run("BEGIN IMMEDIATE;"));
    open_ = true;
    return {};
}

ErrorOr<void> CalendarIndex::Writing::commit()
{
    TRY(index_.run("COMMIT;"));
    open_ = false;
    return {};
}

ErrorOr<std::vector<CalendarIndex::StoredFile>> CalendarIndex::filesReaching(
    const std::string& calendar, double from, double to) const
{
    Prepared query = prepared(Statement::FilesReaching);
    bindWindow(query.get(), calendar, from, to);
    std::vector<StoredFile> files;
    while (TRY(step(query.get())))
        files.push_back({ columnText(query.get(), 0), sqlite3_column_int(query.get(), 1) != 0 });
    return files;
}

ErrorOr<std::vector<Occurrence>> CalendarIndex::occurrencesReaching(
    const std::string& calendar, double from, double to, const std::unordered_set<std::string_view>& parsed) const
{
    Prepared query = prepared(Statement::OccurrencesReaching);
    bindWindow(query.get(), calendar, from, to);
    std::vector<Occurrence> found;
    while (TRY(step(query.get()))) {
        sqlite3_stmt* row = query.get();
        const auto* path = reinterpret_cast<const char*>(sqlite3_column_text(row, 11));
        if (path && parsed.count(std::string_view(path, static_cast<std::size_t>(sqlite3_column_bytes(row, 11)))))
            continue;
        Occurrence& occurrence = found.emplace_back();
        occurrence.start = instantFromUnixSeconds(sqlite3_column_double(row, 0));
        occurrence.end = instantFromUnixSeconds(sqlite3_column_double(row, 1));
        occurrence.originalStart = instantFromUnixSeconds(sqlite3_column_double(row, 2));
        occurrence.floating = sqlite3_column_int(row, 3) != 0;
        occurrence.length = { sqlite3_column_int(row, 4), static_cast<long>(sqlite3_column_int64(row, 5)) };
        occurrence.allDay = sqlite3_column_int(row, 6) != 0;
        occurrence.uid = columnText(row, 7);
        occurrence.recurrenceId = columnText(row, 8);
        occurrence.title = columnOptionalText(row, 9);
        occurrence.location = columnOptionalText(row, 10);
    }
    return found;
}

ErrorOr<std::optional<std::string>> CalendarIndex::calendarName(const std::string& calendar) const
{
    Prepared query = prepared(Statement::CalendarName);
    bindText(query.get(), 1, calendar);
    if (!TRY(step(query.get())))
        return std::optional<std::string>();
    return std::optional(columnText(query.get(), 0));
}

ErrorOr<std::optional<RGBA>> CalendarIndex::calendarColor(const std::string& calendar) const
{
    Prepared query = prepared(Statement::CalendarColor);
    bindText(query.get(), 1, calendar);
    sqlite3_bind_int(query.get(), 2, static_cast<int>(sizeof(RGBA)));
    if (!TRY(step(query.get())))
        return std::optional<RGBA>();
    RGBA color;
    std::memcpy(&color, sqlite3_column_blob(query.get(), 0), sizeof(RGBA));
    return std::optional(color);
}

ErrorOr<std::vector<SkippedFile>> CalendarIndex::skippedFiles(const std::string& calendar) const
{
    Prepared query = prepared(Statement::SkippedFiles);
    bindText(query.get(), 1, calendar);
    std::vector<SkippedFile> skipped;
    while (TRY(step(query.get())))
        skipped.push_back({ columnText(query.get(), 0), columnText(query.get(), 1) });
    return skipped;
}

ErrorOr<std::size_t> CalendarIndex::eventCount(const std::string& calendar) const
{
    Prepared query = prepared(Statement::EventCount);
    bindText(query.get(), 1, calendar);
    if (!TRY(step(query.get())))
        return std::size_t { 0 };
    return static_cast<std::size_t>(sqlite3_column_int64(query.get(), 0));
}

} // namespace eventkit
