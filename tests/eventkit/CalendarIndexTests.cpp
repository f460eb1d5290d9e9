// The persistent calendar index: what tells a changed file, an index that
// outlives its store, and one that is damaged, foreign, shared by two processes
// or impossible to keep.
#include "EventKitFixture.h"

#include "EventKit/CalendarIndex.h"
#include "EventKit/IndexedCalendarStore.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

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

    restartStore();
    std::string moved = item;
    moved.replace(moved.find("Lunch"), 5, "Lunce");
    // Renamed into place, as vdirsyncer writes.
    writeCalendarFile("Home", ".lunch.tmp", moved);
    std::filesystem::rename(root_.file("/var/mobile/Library/Calendars/Home/.lunch.tmp"),
        root_.file("/var/mobile/Library/Calendars/Home/lunch.ics"));
    removeCalendarFile("Home", "standup.ics");
    writeCalendarFile(
        "Home", "dinner.ics", calendarText({ event({ "UID:dinner", "DTSTART:20240305T190000Z", "SUMMARY:Dinner" }) }));
    writeCalendarFile("Home", "displayname", "House");
    EKEventStore store;
    EXPECT_EQ(titlesOnTheFifth(), (std::vector<std::string> { "Lunce", "Dinner" }));
    EXPECT_EQ(dynamicCast<EKCalendar>(store.calendars()->objectAtIndex(0))->title()->UTF8String(), "House");

    // Renamed: the old name is forgotten, the item counted once.
    std::filesystem::rename(root_.file("/var/mobile/Library/Calendars/Home/lunch.ics"),
        root_.file("/var/mobile/Library/Calendars/Home/lunch-2.ics"));
    EXPECT_EQ(titlesOnTheFifth(), (std::vector<std::string> { "Lunce", "Dinner" }));
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
