#include "EventKitFixture.h"

#include <platform/Log.h>

#include <filesystem>

using namespace eventkit_tests;

namespace {

class CalendarCache : public EventKitTest {
protected:
    static std::string item(const std::string& uid, const std::string& title)
    {
        return calendarText({ event({ "UID:" + uid, "SUMMARY:" + title, "DTSTART:20240305T090000Z" }) });
    }

    static std::vector<std::string> titlesIn(const EKEventStore& store)
    {
        std::vector<std::string> titles;
        for (const auto& e : eventsIn(store, utc("2024-03-05 00:00"), utc("2024-03-06 00:00")))
            titles.push_back(e->title()->UTF8String());
        return titles;
    }
};

TEST_F(CalendarCache, ANewStoreSeesChangedAddedAndRemovedFiles)
{
    writeCalendarFile("work", "a.ics", item("a", "Before"));
    writeCalendarFile("work", "b.ics", item("b", "Second"));
    EKEventStore first;
    EXPECT_EQ(titlesIn(first), (std::vector<std::string> { "Before", "Second" }));

    writeCalendarFile("work", "a.ics", item("a", "After"));
    removeCalendarFile("work", "b.ics");
    writeCalendarFile("work", "c.ics", item("c", "Third"));
    writeCalendarFile("work", "displayname", "Renamed");
    writeCalendarFile("home", "d.ics", item("d", "Fourth"));

    EKEventStore second;
    // Equal times order by calendar ("home" before "work"), then by identifier.
    EXPECT_EQ(titlesIn(second), (std::vector<std::string> { "Fourth", "After", "Third" }));
    ASSERT_EQ(second.calendars()->count(), 2u);
    EXPECT_EQ(dynamicCast<EKCalendar>(second.calendars()->objectAtIndex(1))->title()->UTF8String(), "Renamed");
    // A store keeps what it saw when it was made.
    EXPECT_EQ(titlesIn(first), (std::vector<std::string> { "Before", "Second" }));

    std::filesystem::remove_all(root_.file("/var/mobile/Library/Calendars/home/x").parent_path());
    EKEventStore third;
    EXPECT_EQ(titlesIn(third), (std::vector<std::string> { "After", "Third" }));
}

// Parsing an item with an unknown zone logs a line, which shows when it is parsed.
TEST_F(CalendarCache, PlainItemsAreParsedOnceWhenAQueryFirstReachesThem)
{
    auto zoned
        = [](const std::string& uid, const std::string& zone, const std::string& start, const std::string& extra = "") {
              std::vector<std::string> lines = { "UID:" + uid, "SUMMARY:" + uid, "DTSTART;TZID=" + zone + ":" + start };
              if (!extra.empty())
                  lines.push_back(extra);
              return calendarText({ event(lines) });
          };
    writeCalendarFile("work", "a.ics", zoned("A", "Nowhere/Special", "20240305T090000"));
    writeCalendarFile("work", "b.ics", item("b", "B"));
    writeCalendarFile("work", "later.ics", zoned("Later", "Far/Away", "20240910T090000"));
    writeCalendarFile("work", "weekly.ics", zoned("Weekly", "Some/Where", "20230101T090000", "RRULE:FREQ=YEARLY"));

    EKEventStore first;
    // A repeating item is parsed with the store; a plain one waits for a query.
    EXPECT_EQ(logLinesWith("Some/Where").size(), 1u);
    EXPECT_TRUE(logLinesWith("Nowhere/Special").empty());
    EXPECT_EQ(titlesIn(first), (std::vector<std::string> { "A", "B" }));
    EXPECT_EQ(logLinesWith("Nowhere/Special").size(), 1u);
    EXPECT_TRUE(logLinesWith("Far/Away").empty());

    // Neither another store nor a change to another file parses it again.
    writeCalendarFile("work", "b.ics", item("b", "B2"));
    EKEventStore second;
    EXPECT_EQ(titlesIn(second), (std::vector<std::string> { "A", "B2" }));
    EXPECT_EQ(logLinesWith("Nowhere/Special").size(), 1u);
    EXPECT_EQ(logLinesWith("Some/Where").size(), 1u);

    ASSERT_EQ(eventsIn(second, utc("2024-09-10 00:00"), utc("2024-09-11 00:00")).size(), 1u);
    EXPECT_EQ(logLinesWith("Far/Away").size(), 1u);
}

TEST_F(CalendarCache, HostFilesAreFollowedToo)
{
    root_.writeText("/outside/export.ics", item("x", "Exported"));
    EKEventStore::setAdditionalCalendarSources({ (root_.path() / "outside" / "export.ics").string() });
    EKEventStore first;
    EXPECT_EQ(titlesIn(first), (std::vector<std::string> { "Exported" }));

    // Replaced the way editors and sync tools save: a new file renamed over the old one.
    root_.writeText("/outside/export.ics.tmp", item("x", "Replaced"));
    std::filesystem::rename(root_.path() / "outside" / "export.ics.tmp", root_.path() / "outside" / "export.ics");
    EKEventStore second;
    EXPECT_EQ(titlesIn(second), (std::vector<std::string> { "Replaced" }));
}

} // namespace
