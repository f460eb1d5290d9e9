// The persistent calendar index: what tells a changed file, an index that
// outlives its store, and one that is damaged, foreign, shared by two processes
// or impossible to keep.
#include "EventKitFixture.h"

#include "EventKit/CalendarIndex.h"
#include "EventKit/IndexedCalendarStore.h"

#include <platform/Environment.h>
#include <platform/Log.h>

#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

using namespace eventkit_tests;

namespace {

const std::string item
    = calendarText({ event({ "UID:lunch", "DTSTART:20240305T120000Z", "DTEND:20240305T130000Z", "SUMMARY:Lunch" }) });
const std::string series = calendarText({ event({ "UID:standup", "DTSTART:20240101T090000Z", "DTEND:20240101T091500Z",
    "RRULE:FREQ=WEEKLY;BYDAY=TU", "SUMMARY:Stand-up" }) });

class CalendarIndexTest : public EventKitTest {
protected:
    CalendarIndexTest() { EKEventStore::setCalendarStorage(EKCalendarStorage::Index); }

    std::string indexPath() const { return eventkit::IndexedCalendarStore::deviceIndexPath(); }

    // A new store, as a new process makes it: nothing kept but the index file.
    static void restartStore()
    {
        EKEventStore::setCalendarStorage(EKCalendarStorage::Memory);
        EKEventStore::setCalendarStorage(EKCalendarStorage::Index);
    }

    std::vector<std::string> titlesOnTheFifth() const
    {
        std::vector<std::string> titles;
        for (const auto& found : events(utc("2024-03-05 00:00"), utc("2024-03-06 00:00")))
            titles.push_back(found->title()->UTF8String());
        return titles;
    }

    void setIndexVersion(int version) const
    {
        sqlite3* database = nullptr;
        sqlite3_open(indexPath().c_str(), &database);
        sqlite3_exec(database, ("PRAGMA user_version = " + std::to_string(version)).c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(database);
    }

    // Runs SQL on the index file from a connection of its own, as another process would.
    void changeIndex(const std::string& sql) const
    {
        sqlite3* database = nullptr;
        sqlite3_open(indexPath().c_str(), &database);
        sqlite3_exec(database, sql.c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(database);
    }

    // Every value an occurrence answers with, one line per event, in order.
    std::vector<std::string> described(double start, double end) const
    {
        std::vector<std::string> lines;
        for (const auto& found : events(start, end)) {
            const auto text = [](const NSString* value) { return value ? value->UTF8String() : std::string("-"); };
            lines.push_back(std::to_string(found->startDate()->timeIntervalSince1970()) + " "
                + std::to_string(found->endDate()->timeIntervalSince1970()) + " "
                + std::to_string(found->occurrenceDate()->timeIntervalSince1970()) + " "
                + (found->isAllDay() ? "all-day " : "") + text(found->title()) + " " + text(found->location()) + " "
                + text(found->eventIdentifier()));
        }
        return lines;
    }
};

// Restores the clock when the test ends.
struct PinnedClock {
    explicit PinnedClock(double now) { platform::pinCurrentTime(now); }
    ~PinnedClock() { platform::pinCurrentTime(std::nullopt); }
};

TEST(CalendarIndexStamps, OnlyAnUnchangedStampReadWellAfterItsLastChangeIsFresh)
{
    eventkit::FileStamp stamp { { 1000, 5 }, { 1000, 5 }, 120, 42 };
    const eventkit::CalendarIndex::Known known { stamp, 1002'000'000'000 };
    EXPECT_TRUE(eventkit::CalendarIndex::isFresh(known, stamp));

    eventkit::FileStamp rewritten = stamp; // same size, modification time set back
    rewritten.changed.tv_nsec = 6;
    EXPECT_FALSE(eventkit::CalendarIndex::isFresh(known, rewritten));
    eventkit::FileStamp renamedOver = stamp;
    renamedOver.inode = 43;
    EXPECT_FALSE(eventkit::CalendarIndex::isFresh(known, renamedOver));
    // Read in the same second as its last change: a later write may not show in the stamp.
    EXPECT_FALSE(eventkit::CalendarIndex::isFresh({ stamp, 1000'500'000'000 }, stamp));
}

TEST_F(CalendarIndexTest, EveryChangeToTheFilesShowsInTheNextStore)
{
    writeCalendarFile("Home", "lunch.ics", item);
    writeCalendarFile("Home", "standup.ics", series);
    writeCalendarFile("Home", "displayname", "Home");
    EXPECT_EQ(titlesOnTheFifth(), (std::vector<std::string> { "Stand-up", "Lunch" }));
    // Listed again over a second after its last change, the folder's names are
    // trusted while its stamp stays: the changes below must show through it.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    restartStore();
    EXPECT_EQ(titlesOnTheFifth(), (std::vector<std::string> { "Stand-up", "Lunch" }));

    // Rewritten in place with the same size and its modification time set back.
    restartStore();
    const std::filesystem::path lunch = root_.file("/var/mobile/Library/Calendars/Home/lunch.ics");
    const auto modified = std::filesystem::last_write_time(lunch);
    std::string rewritten = item;
    rewritten.replace(rewritten.find("Lunch"), 5, "Lunce");
    std::ofstream(lunch, std::ios::binary | std::ios::trunc) << rewritten;
    std::filesystem::last_write_time(lunch, modified);
    EXPECT_EQ(titlesOnTheFifth(), (std::vector<std::string> { "Stand-up", "Lunce" }));

    restartStore();
    std::string moved = item;
    moved.replace(moved.find("Lunch"), 5, "Lunca");
    // Renamed into place, as vdirsyncer writes.
    writeCalendarFile("Home", ".lunch.tmp", moved);
    std::filesystem::rename(root_.file("/var/mobile/Library/Calendars/Home/.lunch.tmp"), lunch);
    removeCalendarFile("Home", "standup.ics");
    writeCalendarFile(
        "Home", "dinner.ics", calendarText({ event({ "UID:dinner", "DTSTART:20240305T190000Z", "SUMMARY:Dinner" }) }));
    writeCalendarFile("Home", "displayname", "House");
    EKEventStore store;
    EXPECT_EQ(titlesOnTheFifth(), (std::vector<std::string> { "Lunca", "Dinner" }));
    EXPECT_EQ(dynamicCast<EKCalendar>(store.calendars()->objectAtIndex(0))->title()->UTF8String(), "House");

    // Renamed: the old name is forgotten, the item counted once.
    std::filesystem::rename(lunch, root_.file("/var/mobile/Library/Calendars/Home/lunch-2.ics"));
    EXPECT_EQ(titlesOnTheFifth(), (std::vector<std::string> { "Lunca", "Dinner" }));
}

TEST_F(CalendarIndexTest, WithinOneProcessEachStoreSeesTheChangesBeforeIt)
{
    writeCalendarFile("Home", "lunch.ics", item);
    writeCalendarFile("Home", "displayname", "Home");
    std::string renamed = item;
    renamed.replace(renamed.find("Lunch"), 5, "Brunch");
    // The first store looks; the second watches and looks again; the later
    // ones learn of changes from the watch alone.
    for (const char* title : { "Lunch", "Brunch", "Dinner" }) {
        writeCalendarFile("Home", "lunch.ics", item);
        writeCalendarFile("Home", "lunch.ics", renamed);
        writeCalendarFile("Home", "lunch.ics",
            calendarText({ event({ "UID:lunch", "DTSTART:20240305T120000Z", "SUMMARY:" + std::string(title) }) }));
        EXPECT_EQ(titlesOnTheFifth(), std::vector<std::string> { title });
    }
    removeCalendarFile("Home", "lunch.ics");
    EXPECT_TRUE(titlesOnTheFifth().empty());
}

TEST_F(CalendarIndexTest, OnlyTheCalendarsAQueryAsksForAreRead)
{
    writeCalendarFile("Home", "lunch.ics", item);
    writeCalendarFile("Home", "displayname", "Home");
    writeCalendarFile("Work", "broken.ics", "hello, calendar\n");
    // Named and coloured by its folder, a calendar needs no look at its items to be listed.
    writeCalendarFile("Work", "displayname", "Work");
    writeCalendarFile("Work", "color", "#FF2968");
    EKEventStore store;
    const Ref<NSArray> home = NSArray::array({ store.calendars()->objectAtIndex(0) });
    EXPECT_EQ(eventsIn(store, utc("2024-03-05 00:00"), utc("2024-03-06 00:00"), home.get()).size(), 1u);
    EXPECT_TRUE(logLinesWith("broken.ics").empty());
    EXPECT_EQ(eventsIn(store, utc("2024-03-05 00:00"), utc("2024-03-06 00:00")).size(), 1u);
    EXPECT_EQ(logLinesWith("broken.ics").size(), 1u);
}

// Listed again over a second after the last change, the folder's names come
// from the index: one it could not read is still among them, tried and told again.
TEST_F(CalendarIndexTest, AFileThatCannotBeReadIsToldByEveryProcess)
{
    writeCalendarFile("Home", "lunch.ics", item);
    const std::filesystem::path fifo = root_.file("/var/mobile/Library/Calendars/Home/pipe.ics");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    for (int process = 0; process < 2; ++process) {
        restartStore();
        EXPECT_EQ(titlesOnTheFifth(), std::vector<std::string> { "Lunch" });
        const std::vector<EKSkippedCalendarFile> skipped = EKEventStore::skippedCalendarFiles();
        ASSERT_EQ(skipped.size(), 1u) << process;
        EXPECT_EQ(skipped[0].path, fifo.string());
        EXPECT_EQ(skipped[0].reason, "not a regular file");
    }
}

TEST_F(CalendarIndexTest, AMovedOccurrenceInAnotherFileReplacesTheStoredOne)
{
    const PinnedClock clock(utc("2024-03-01 00:00"));
    const std::string moved = calendarText({ event({ "UID:standup", "RECURRENCE-ID:20240305T090000Z",
        "DTSTART:20240305T150000Z", "DTEND:20240305T151500Z", "SUMMARY:Stand-up, moved" }) });
    writeCalendarFile("Home", "standup.ics", series);
    writeCalendarFile("Home", "standup-moved.ics", moved);
    EXPECT_EQ(titlesOnTheFifth(), std::vector<std::string> { "Stand-up, moved" });
    restartStore();
    removeCalendarFile("Home", "standup-moved.ics");
    EXPECT_EQ(titlesOnTheFifth(), std::vector<std::string> { "Stand-up" });
    restartStore();
    writeCalendarFile("Home", "standup-moved.ics", moved);
    EXPECT_EQ(titlesOnTheFifth(), std::vector<std::string> { "Stand-up, moved" });
}

TEST_F(CalendarIndexTest, AListingThatNamesAFileOutsideItsFolderIsReadAnew)
{
    writeCalendarFile("Home", "lunch.ics", item);
    writeCalendarFile(
        "Work", "secret.ics", calendarText({ event({ "UID:secret", "DTSTART:20240305T150000Z", "SUMMARY:Secret" }) }));
    // Listed again over a second after the last change, the folders are trusted.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    restartStore();
    const Ref<NSArray> home = NSArray::array({ EKEventStore().calendars()->objectAtIndex(0) });
    EXPECT_EQ(events(utc("2024-03-05 00:00"), utc("2024-03-06 00:00"), home.get()).size(), 1u);

    // The record of Home's files now names one in Work: its length, the name
    // and its NUL, then a stamp that matches nothing.
    const std::string name = "../Work/secret.ics";
    std::string record = "x'" + std::string(1, "0123456789ABCDEF"[name.size() / 16])
        + "0123456789ABCDEF"[name.size() % 16] + "00000000000000";
    for (const char c : name + '\0')
        record += std::string { "0123456789ABCDEF"[(c >> 4) & 15], "0123456789ABCDEF"[c & 15] };
    record += std::string(80, '0') + "'";
    changeIndex("UPDATE listings SET files = " + record + " WHERE calendar LIKE '%/Home';");
    restartStore();
    const auto titles = [&] {
        std::vector<std::string> found;
        for (const auto& event : events(utc("2024-03-05 00:00"), utc("2024-03-06 00:00"), home.get()))
            found.push_back(event->title()->UTF8String());
        return found;
    };
    EXPECT_EQ(titles(), std::vector<std::string> { "Lunch" });
}

TEST_F(CalendarIndexTest, ADamagedTruncatedOrForeignIndexIsBuiltAnewWithOneLine)
{
    writeCalendarFile("Home", "lunch.ics", item);
    std::filesystem::create_directories(std::filesystem::path(indexPath()).parent_path());
    std::ofstream(indexPath(), std::ios::binary) << std::string(4096, 'x');
    EXPECT_EQ(titlesOnTheFifth(), std::vector<std::string> { "Lunch" });
    EXPECT_EQ(logLinesWith("it is not an SQLite database; building it anew").size(), 1u);

    restartStore();
    const int foreign = eventkit::CalendarIndex::schemaVersion + 1;
    setIndexVersion(foreign);
    EXPECT_EQ(titlesOnTheFifth(), std::vector<std::string> { "Lunch" });
    EXPECT_EQ(logLinesWith("it is of schema version " + std::to_string(foreign) + "; building it anew").size(), 1u);

    // A calendar's damaged listing: the calendar is read anew.
    restartStore();
    changeIndex("UPDATE listings SET files = x'0500000000000000616263';");
    EXPECT_EQ(titlesOnTheFifth(), std::vector<std::string> { "Lunch" });

    restartStore();
    std::filesystem::resize_file(indexPath(), std::filesystem::file_size(indexPath()) / 2);
    for (const char* suffix : { "-wal", "-shm" })
        std::filesystem::remove(indexPath() + suffix);
    EXPECT_EQ(titlesOnTheFifth(), std::vector<std::string> { "Lunch" });
}

TEST_F(CalendarIndexTest, AnIndexThatCannotBeKeptWorksFromMemory)
{
    // A file where the index's folder should be: nothing can be created there.
    root_.writeText("/var/mobile/Library/Calendar", "");
    writeCalendarFile("Home", "lunch.ics", item);
    EXPECT_EQ(titlesOnTheFifth(), std::vector<std::string> { "Lunch" });
    writeCalendarFile("Home", "standup.ics", series);
    EXPECT_EQ(titlesOnTheFifth(), (std::vector<std::string> { "Stand-up", "Lunch" }));
    EXPECT_EQ(logLinesWith("reading the files alone").size(), 1u);
}

// Floating times, dates, zoned times, a moved and a cancelled occurrence, a
// floating day across the night the clocks go forward.
const std::vector<std::string> mixedItems {
    calendarText({ event({ "UID:standup", "DTSTART;TZID=Europe/Berlin:20240101T090000", "DURATION:PT15M",
                       "RRULE:FREQ=DAILY", "EXDATE;TZID=Europe/Berlin:20240327T090000", "SUMMARY:Stand-up" }),
        event({ "UID:standup", "RECURRENCE-ID;TZID=Europe/Berlin:20240328T090000",
            "DTSTART;TZID=Europe/Berlin:20240328T113000", "DURATION:PT30M", "SUMMARY:Stand-up, late",
            "LOCATION:Room 2" }),
        // Skipped with a log line each time the file is parsed.
        event({ "UID:undated", "SUMMARY:No start" }) }),
    calendarText({ event(
        { "UID:walk", "DTSTART:20240301T013000", "DURATION:PT2H", "RRULE:FREQ=DAILY;COUNT=400", "SUMMARY:Walk" }) }),
    calendarText(
        { event({ "UID:bins", "DTSTART;VALUE=DATE:20240302", "DURATION:P1D", "RRULE:FREQ=WEEKLY", "SUMMARY:Bins" }) }),
    calendarText({ event({ "UID:trip", "DTSTART;VALUE=DATE:20240329", "DTEND;VALUE=DATE:20240402", "SUMMARY:Trip" }) }),
    item,
};

TEST_F(CalendarIndexTest, StoredOccurrencesAnswerAsParsingTheFilesDoes)
{
    for (std::size_t at = 0; at < mixedItems.size(); ++at)
        writeCalendarFile("Home", "item-" + std::to_string(at) + ".ics", mixedItems[at]);
    // A file read within a second of its last change is read again by the next
    // store; these must be read once only.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    const PinnedClock clock(utc("2024-03-20 00:00"));
    const double weekStart = utc("2024-03-26 00:00"), weekEnd = utc("2024-04-02 00:00");
    // Outside the horizon (a year back, two ahead), the files are parsed again.
    const double laterStart = utc("2027-01-01 00:00"), laterEnd = utc("2027-01-08 00:00");
    EKEventStore::setCalendarStorage(EKCalendarStorage::Memory);
    const auto parsedWeek = described(weekStart, weekEnd);
    const auto parsedLater = described(laterStart, laterEnd);
    platform::setCurrentTimeZoneIdentifier("America/New_York");
    const auto parsedWeekElsewhere = described(weekStart, weekEnd);
    platform::setCurrentTimeZoneIdentifier("Europe/Berlin");

    EKEventStore::setCalendarStorage(EKCalendarStorage::Index);
    EXPECT_EQ(described(weekStart, weekEnd), parsedWeek);
    EXPECT_EQ(described(laterStart, laterEnd), parsedLater);
    // Floating times and dates read in the zone of the query, not of the reading.
    platform::setCurrentTimeZoneIdentifier("America/New_York");
    EXPECT_EQ(described(weekStart, weekEnd), parsedWeekElsewhere);
    platform::setCurrentTimeZoneIdentifier("Europe/Berlin");

    // Years later, a query outside the horizon keeps the occurrences around its
    // own time for the next.
    platform::pinCurrentTime(laterStart);
    EXPECT_EQ(described(laterStart, laterEnd), parsedLater);

    // Inside the horizon the stored occurrences answer alone: no file is parsed
    // again, so the skipped item is not reported again.
    restartStore();
    platform::clearLog();
    EXPECT_EQ(described(laterStart, laterEnd), parsedLater);
    EXPECT_EQ(logLinesWith("skipping an item").size(), 0u);
    platform::pinCurrentTime(utc("2024-03-20 00:00"));
    EXPECT_EQ(described(weekStart, weekEnd), parsedWeek);
}

TEST_F(CalendarIndexTest, AnIndexBrokenDuringAQueryIsLeftForMemoryAndTheAnswerStaysWhole)
{
    writeCalendarFile("Home", "lunch.ics", item);
    writeCalendarFile("Home", "standup.ics", series);
    EXPECT_EQ(titlesOnTheFifth(), (std::vector<std::string> { "Stand-up", "Lunch" }));
    restartStore();
    EKEventStore store; // brings the index up to date
    changeIndex("DROP TABLE occurrences;");
    std::vector<std::string> titles;
    for (const auto& found : eventsIn(store, utc("2024-03-05 00:00"), utc("2024-03-06 00:00")))
        titles.push_back(found->title()->UTF8String());
    EXPECT_EQ(titles, (std::vector<std::string> { "Stand-up", "Lunch" }));
    EXPECT_EQ(logLinesWith("keeping the calendars in memory").size(), 1u);
    // Damaged, it is deleted for the next process to build anew.
    EXPECT_FALSE(std::filesystem::exists(indexPath()));
}

TEST_F(CalendarIndexTest, AnIndexThatAnotherProcessHoldsIsLeftAsItIs)
{
    writeCalendarFile("Home", "lunch.ics", item);
    EXPECT_EQ(titlesOnTheFifth(), std::vector<std::string> { "Lunch" });
    restartStore();
    writeCalendarFile("Home", "standup.ics", series);
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(indexPath().c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(titlesOnTheFifth(), (std::vector<std::string> { "Stand-up", "Lunch" }));
    EXPECT_EQ(logLinesWith("it cannot be written; keeping the calendars in memory").size(), 1u);
    sqlite3_exec(holder, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    // Nothing of what it holds is lost.
    ASSERT_TRUE(std::filesystem::exists(indexPath()));
    sqlite3* reader = nullptr;
    sqlite3_open(indexPath().c_str(), &reader);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(reader, "SELECT count(*) FROM files WHERE path LIKE '%/lunch.ics';", -1, &query, nullptr);
    EXPECT_EQ(sqlite3_step(query), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(query, 0), 1);
    sqlite3_finalize(query);
    sqlite3_close(reader);
}

TEST_F(CalendarIndexTest, TwoProcessesBuildingOneIndexBothAnswerInFull)
{
    for (int i = 0; i < 200; ++i)
        writeCalendarFile("Home", "item-" + std::to_string(i) + ".ics",
            calendarText({ event({ "UID:item-" + std::to_string(i), "DTSTART:20240305T120000Z", "SUMMARY:Item" }) }));
    writeCalendarFile("Home", "standup.ics", series);
    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        const pid_t pid = fork();
        if (pid == 0) {
            restartStore();
            _exit(events(utc("2024-03-05 00:00"), utc("2024-03-06 00:00")).size() == 201 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(events(utc("2024-03-05 00:00"), utc("2024-03-06 00:00")).size(), 201u);
}

} // namespace
