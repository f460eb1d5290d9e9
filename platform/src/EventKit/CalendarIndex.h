// The persistent index of calendar files, in an SQLite database, as the phone
// keeps its calendars in one. Per calendar, the listing of its item files as
// last seen: each file's name and identity (size, modification and change times
// in nanoseconds, inode), and the folder's own stamp, so that a later process
// reads again only the files that changed. Per file, the span of time its items
// can reach and their UIDs, so that a query reads only the files that can touch
// its window, and the occurrences of its items over a horizon around the time
// it was read, so that a query inside the horizon parses nothing. The files'
// texts stay where they are. The index is a cache only: it can always be
// deleted and built again from the files.
#pragma once

#include "CalendarColor.h"
#include "CalendarFiles.h"
#include "ErrorOr.h"
#include "Occurrences.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace eventkit {

class CalendarIndex {
public:
    // The layout of the tables; an index of any other version is built anew.
    static constexpr int schemaVersion = 8;

    // Opens the index at `path`, creating it when there is none. One that is
    // not an SQLite database, or of another schema version, is built anew with
    // one log line. Nothing, with one log line, when no index can be kept
    // there (a read-only folder).
    static std::unique_ptr<CalendarIndex> open(const std::string& path);
    // An index that lives in memory for the process, where none can be kept on disk.
    static std::unique_ptr<CalendarIndex> inMemory();
    // Deletes the index at `path` with its journals, for the next process to build anew.
    static void remove(const std::string& path);
    ~CalendarIndex();
    CalendarIndex(const CalendarIndex&) = delete;
    CalendarIndex& operator=(const CalendarIndex&) = delete;

    // What the index knows of a file: its stamp, and when it was read (the
    // wall clock, in nanoseconds).
    struct Known {
        FileStamp stamp;
        std::int64_t readAt = 0;
    };
    // Whether what was read from a file still holds: its stamp is unchanged and
    // was not changed in the second before it was read (a file stamp has the
    // resolution of the kernel's clock tick, or worse on some file systems, so
    // a write just after the reading could leave it as it was).
    static bool isFresh(const Known& known, const FileStamp& now);

    // A calendar's item files as last listed, in the order the listing found
    // them; and, for a calendar folder, the folder's stamp before it was
    // listed, which tells whether its names still hold without listing it again.
    struct Listing {
        std::optional<Known> folder;
        struct Entry {
            const char* name; // in `names`, or held by whoever made the entry
            Known known;
        };
        std::vector<Entry> files;
        // The names of a listing read from the index, each ended by a NUL; a
        // move keeps them where they are, a copy would not.
        std::vector<char> names;

        Listing() = default;
        Listing(Listing&&) = default;
        Listing& operator=(Listing&&) = default;
        Listing(const Listing&) = delete;
        Listing& operator=(const Listing&) = delete;
    };
    // Nothing when the calendar was never listed, or its listing is damaged.
    ErrorOr<std::optional<Listing>> listingOf(const std::string& calendar) const;

    struct FileRecord {
        std::string path;
        // Unix seconds within which every occurrence of the file's items lies;
        // infinite for a series without end, empty (from > to) for nothing.
        double reachFrom = 0;
        double reachTo = 0;
        std::optional<std::string> calendarName;
        std::optional<RGBA> calendarColor;
        std::vector<std::string> uids;
        // The occurrences of the file's items overlapping [from, to), where
        // they could be worked out ahead (a floating one's times are wall
        // times, written as if in UTC).
        struct Expansion {
            double from = 0;
            double to = 0;
            std::vector<Occurrence> occurrences;
        };
        std::optional<Expansion> expansion;
        bool plain = false; // a plain item, left unparsed
        std::optional<std::string> skipped; // why nothing of it can be read, if so
    };
    // Writes run in one transaction of `Writing`; each answers why the
    // database refused (locked past the busy time-out, read-only, full,
    // damaged). A file is forgotten before it is recorded again.
    ErrorOr<void> recordListing(const std::string& calendar, const Listing& listing);
    ErrorOr<void> record(const std::string& calendar, const FileRecord& file);
    ErrorOr<void> forget(const std::string& path);
    // Forgets every file of a calendar, for one listed anew.
    ErrorOr<void> forgetCalendar(const std::string& calendar);
    // Marks the files of a calendar that share a UID with another of its files
    // (one may hold a revision of the other, so they are read together), where
    // the files recorded and forgotten since the last marking changed that.
    ErrorOr<void> markSharedUids(const std::string& calendar);

    // A transaction, rolled back unless it was committed.
    class Writing {
    public:
        explicit Writing(CalendarIndex& index);
        ~Writing();
        Writing(const Writing&) = delete;
        Writing& operator=(const Writing&) = delete;
        ErrorOr<void> begin();
        ErrorOr<void> commit();

    private:
        CalendarIndex& index_;
        bool open_ = false;
    };

    // The calendar's files whose reach overlaps [from, to) and whose expansion
    // does not cover it, and those that share a UID, in path order.
    struct StoredFile {
        std::string path;
        // A file that shares no UID and is a plain item (not parsed when it
        // was recorded) or was expanded before, over a horizon that no longer
        // covers the query: its occurrences can be kept once it is parsed.
        bool expandable = false;
    };
    ErrorOr<std::vector<StoredFile>> filesReaching(const std::string& calendar, double from, double to) const;
    // The stored occurrences that can touch [from, to), a day wider on each side
    // for floating times (which are as recorded), of the files other than
    // `parsed`: those that `filesReaching` answers for the same window, whose
    // stored occurrences, if any, do not answer for it.
    ErrorOr<std::vector<Occurrence>> occurrencesReaching(
        const std::string& calendar, double from, double to, const std::unordered_set<std::string_view>& parsed) const;
    // Whether the stored occurrences of a file expanded so answer for [from, to).
    static bool covers(const FileRecord::Expansion& expansion, double from, double to);
    // Keeps the occurrences of a recorded file, worked out after it was recorded.
    ErrorOr<void> recordExpansion(
        const std::string& calendar, const std::string& path, const FileRecord::Expansion& expansion);

    // The calendar's name and colour from its files' calendar properties: the
    // first file in path order that gives one.
    ErrorOr<std::optional<std::string>> calendarName(const std::string& calendar) const;
    ErrorOr<std::optional<RGBA>> calendarColor(const std::string& calendar) const;
    // How many UIDs the calendar's files hold, each once.
    ErrorOr<std::size_t> eventCount(const std::string& calendar) const;

    // The calendar's files of which nothing can be read, and why, in path order.
    ErrorOr<std::vector<SkippedFile>> skippedFiles(const std::string& calendar) const;

private:
    class Prepared {
    public:
        explicit Prepared(sqlite3_stmt* statement)
            : statement_(statement)
        {
        }
        ~Prepared();
        Prepared(const Prepared&) = delete;
        Prepared& operator=(const Prepared&) = delete;
        sqlite3_stmt* get() const { return statement_; }

    private:
        sqlite3_stmt* statement_;
    };

    // The statements the index runs, each prepared once for the connection.
    enum class Statement : std::size_t {
        ListingOf,
        RecordListing,
        RecordFile,
        RecordUid,
        TouchUid,
        UpdateExpansion,
        RecordOccurrence,
        TouchUidsOfPath,
        ForgetFile,
        ForgetUidsOfPath,
        ForgetOccurrencesOfPath,
        ForgetListing,
        ForgetFilesOfCalendar,
        ForgetUidsOfCalendar,
        ForgetOccurrencesOfCalendar,
        MarkSharedUids,
        ClearTouchedUids,
        FilesReaching,
        OccurrencesReaching,
        CalendarName,
        CalendarColor,
        SkippedFiles,
        EventCount,
        Count,
    };
    static const char* textOf(Statement statement);

    explicit CalendarIndex(sqlite3* database);
    Prepared prepared(Statement statement) const;
    ErrorOr<void> run(const char* sql) const;
    // True for a row, false once the statement is done.
    ErrorOr<bool> step(sqlite3_stmt* statement) const;
    ErrorOr<void> stepToEnd(sqlite3_stmt* statement) const;
    ErrorOr<void> runEach(std::initializer_list<Statement> statements, const std::string& text) const;
    ErrorOr<void> recordOccurrences(
        const std::string& calendar, const std::string& path, const FileRecord::Expansion& expansion);

    sqlite3* database_;
    mutable std::array<sqlite3_stmt*, static_cast<std::size_t>(Statement::Count)> statements_ {};
};

} // namespace eventkit
