// The persistent calendar index: file identities that survive the process, and
// an index file that is damaged, foreign or impossible to keep.
#include "EventKitFixture.h"

#include "EventKit/CalendarIndex.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

using namespace eventkit_tests;

namespace {

class CalendarIndexTest : public EventKitTest {
protected:
    std::string indexPath() const { return (root_.path() / "index.sqlite").string(); }
    std::string itemPath() const { return (root_.path() / "item.ics").string(); }

    void writeItem(const std::string& text) const { std::ofstream(itemPath(), std::ios::binary) << text; }
    eventkit::FileStamp stampNow() const { return *eventkit::stampOf(itemPath()); }

    void setIndexVersion(int version) const
    {
        sqlite3* database = nullptr;
        sqlite3_open(indexPath().c_str(), &database);
        sqlite3_exec(database, ("PRAGMA user_version = " + std::to_string(version)).c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(database);
    }
};

TEST_F(CalendarIndexTest, IdentitiesOutliveTheProcessAndEveryRewriteShows)
{
    writeItem("BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    {
        auto index = eventkit::CalendarIndex::open(indexPath());
        ASSERT_TRUE(index);
        EXPECT_FALSE(index->isFresh(itemPath(), stampNow()));
        index->record(itemPath(), stampNow());
    }
    auto index = eventkit::CalendarIndex::open(indexPath());
    ASSERT_TRUE(index);
    EXPECT_TRUE(index->isFresh(itemPath(), stampNow()));

    // Rewritten in place with the same size: a new modification time.
    const eventkit::FileStamp before = stampNow();
    timespec later[2] = { before.modified, before.modified };
    later[0].tv_sec = later[1].tv_sec = before.modified.tv_sec + 5;
    writeItem("BEGIN:VCALENDAR\r\nEND:VCALENDAR\n\n");
    ASSERT_EQ(utimensat(AT_FDCWD, itemPath().c_str(), later, 0), 0);
    EXPECT_FALSE(index->isFresh(itemPath(), stampNow()));

    // Replaced by renaming a new file over it, all else equal: a new inode.
    index->record(itemPath(), stampNow());
    const eventkit::FileStamp recorded = stampNow();
    const std::string replacement = itemPath() + ".new";
    std::filesystem::copy_file(itemPath(), replacement);
    const timespec same[2] = { recorded.modified, recorded.modified };
    ASSERT_EQ(utimensat(AT_FDCWD, replacement.c_str(), same, 0), 0);
    std::filesystem::rename(replacement, itemPath());
    EXPECT_FALSE(index->isFresh(itemPath(), stampNow()));

    index->forget(itemPath());
    EXPECT_FALSE(index->recordedStamp(itemPath()));
}

TEST_F(CalendarIndexTest, ADamagedOrForeignIndexIsBuiltAnewWithOneLine)
{
    writeItem("BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    std::ofstream(indexPath(), std::ios::binary) << std::string(4096, 'x');
    auto index = eventkit::CalendarIndex::open(indexPath());
    ASSERT_TRUE(index);
    index->record(itemPath(), stampNow());
    EXPECT_TRUE(index->isFresh(itemPath(), stampNow()));
    index.reset();
    EXPECT_EQ(logLinesWith("it is not an SQLite database; building it anew").size(), 1u);

    setIndexVersion(eventkit::CalendarIndex::schemaVersion + 1);
    index = eventkit::CalendarIndex::open(indexPath());
    ASSERT_TRUE(index);
    EXPECT_FALSE(index->recordedStamp(itemPath()));
    EXPECT_EQ(logLinesWith("it is of schema version 2; building it anew").size(), 1u);
}

TEST_F(CalendarIndexTest, NoIndexWhereNoneCanBeKept)
{
    EXPECT_FALSE(eventkit::CalendarIndex::open((root_.path() / "missing" / "index.sqlite").string()));
    EXPECT_EQ(logLinesWith("reading the files alone").size(), 1u);
}

} // namespace
