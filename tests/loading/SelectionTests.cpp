// Which calendars a load searches: those the calendar application shows, or
// those of the own list, with the log lines that tell them apart.
#include "LoadingFixture.h"

#include <EventKit/EKEventStore.h>
#include <dispatch/dispatch.h>
#include <platform/Log.h>

using namespace loading_testing;

namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// Five calendars "A" to "E", each with one event on 3 June 2025 named after it;
// the host's now is 08:00 on 2 June.
class CalendarSelection : public LoadingTest {
protected:
    CalendarSelection()
    {
        const char* names[] = { "A", "B", "C", "D", "E" };
        for (int i = 0; i < 5; ++i) {
            const std::string name = names[i], folder = "calendar-" + name;
            addCalendar(folder, name);
            addItem(folder, "event.ics",
                calendarText({ { "UID:event-" + name, "SUMMARY:Event " + name,
                    "DTSTART:20250603T" + std::to_string(10 + i) + "0000",
                    "DTEND:20250603T" + std::to_string(10 + i) + "3000" } }));
            ids[name] = identifierOf(name);
        }
        setNow(berlin({ 2025, 6, 2 }, 8).get());
    }

    Ref<NSArray> load(bool calendarAppSelection) const
    {
        platform::clearLog();
        return table(2, 0, calendarAppSelection)->loadEvents();
    }

    std::map<std::string, std::string> ids;
};

} // namespace

TEST_F(CalendarSelection, CalendarAppModeSearchesEveryCalendarItDoesNotHide)
{
    const std::vector<std::string> hidden { ids["D"], ids["B"] };
    writeCalendarAppPreferences(&hidden);

    const Ref<NSArray> sections = load(true);
    EXPECT_EQ(titles(*sections), (std::vector<std::string> { "Event A", "Event C", "Event E" }));

    EXPECT_EQ(logLines("DGL2: got "), std::vector<std::string> { "DGL2: got 2 items from calendar config file" });
    const auto disabled = logLines("DGL2:disabledCalendarsArray=");
    ASSERT_EQ(disabled.size(), 1u);
    EXPECT_LT(disabled[0].find(ids["D"]), disabled[0].find(ids["B"]));
    EXPECT_EQ(logLines("DGL2: allCalendars=").size(), 1u);

    // Each calendar is compared with the hidden ones in file order until one matches.
    auto comparing = [](const std::string& calendar, const std::string& hiddenOne) {
        return "TXQ: comparing calendar id " + calendar + " with disabled calendar id " + hiddenOne;
    };
    const std::vector<std::string> expected {
        comparing(ids["A"], ids["D"]),
        comparing(ids["A"], ids["B"]),
        comparing(ids["B"], ids["D"]),
        comparing(ids["B"], ids["B"]),
        "TXQ: calendar " + ids["B"] + " is disabled",
        comparing(ids["C"], ids["D"]),
        comparing(ids["C"], ids["B"]),
        comparing(ids["D"], ids["D"]),
        "TXQ: calendar " + ids["D"] + " is disabled",
        comparing(ids["E"], ids["D"]),
        comparing(ids["E"], ids["B"]),
    };
    EXPECT_EQ(logLines("TXQ: "), expected);

    const auto selected = logLines("DGL2: selected calendars: ");
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_TRUE(contains(selected[0], ids["A"]) && contains(selected[0], ids["C"]) && contains(selected[0], ids["E"]));
    EXPECT_FALSE(contains(selected[0], ids["B"]) || contains(selected[0], ids["D"]));
}

TEST_F(CalendarSelection, CalendarAppModeWithoutHiddenCalendarsSearchesAll)
{
    writeCalendarAppPreferences(nullptr);

    const Ref<NSArray> sections = load(true);
    EXPECT_EQ(titles(*sections).size(), 5u);
    EXPECT_EQ(logLines("TXQ: ").size(), 0u);
    EXPECT_EQ(
        logLines("DGL2:disabledCalendarsArray="), std::vector<std::string> { "DGL2:disabledCalendarsArray=(null)" });
}

TEST_F(CalendarSelection, CalendarAppModeWithoutItsPreferenceFileSearchesNothing)
{
    const Ref<NSArray> sections = load(true);
    EXPECT_EQ(sections->count(), 0u);
    EXPECT_EQ(logLines("DGL2: got ").size(), 0u);
    EXPECT_EQ(logLines("DGL2: selected calendars: "), std::vector<std::string> { "DGL2: selected calendars: (\n)" });
}

TEST_F(CalendarSelection, OwnListSearchesTheCalendarsItNamesAndSkipsUnknownOnes)
{
    const std::string unknown = "00000000-0000-0000-0000-000000000000";
    writeOwnList({ ids["C"], unknown, ids["A"] });

    const Ref<NSArray> sections = load(false);
    EXPECT_EQ(titles(*sections), (std::vector<std::string> { "Event A", "Event C" }));
    EXPECT_EQ(logLines("DGL2: unable to find"),
        std::vector<std::string> { "DGL2: unable to find calendar with UUID " + unknown + ", skipping" });
    const auto selected = logLines("DGL2: selected calendars: ");
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_LT(selected[0].find(ids["C"]), selected[0].find(ids["A"]));
    EXPECT_EQ(logLines("TXQ: ").size(), 0u);
}

TEST_F(CalendarSelection, OwnListMissingOrEmptyMakesNoQuery)
{
    for (bool writeEmptyList : { false, true }) {
        SCOPED_TRACE(writeEmptyList ? "empty list" : "no list");
        if (writeEmptyList)
            writeOwnList({});
        const Ref<NSArray> sections = load(false);
        EXPECT_EQ(sections->count(), 0u);
        EXPECT_EQ(logLines("DGL2: no enabled calendars found"),
            std::vector<std::string> { "DGL2: no enabled calendars found, not searching the DB!" });
        EXPECT_EQ(logLines("DGL2: selected calendars").size(), 0u);
    }
}

TEST_F(CalendarSelection, OwnListOfUnknownCalendarsQueriesWithNone)
{
    writeOwnList({ "unknown-1", "unknown-2" });

    const Ref<NSArray> sections = load(false);
    EXPECT_EQ(sections->count(), 0u);
    EXPECT_EQ(logLines("DGL2: unable to find calendar").size(), 2u);
    EXPECT_EQ(logLines("DGL2: selected calendars: "), std::vector<std::string> { "DGL2: selected calendars: (\n)" });
}

// The answer arrives on a queue of the store's own; the load does not wait for it.
TEST_F(CalendarSelection, RefusedAccessIsLoggedAndShowsNothing)
{
    writeCalendarAppPreferences(nullptr);
    EKEventStore::setAccessGranted(false);

    EXPECT_EQ(load(true)->count(), 0u);
    dispatch_drain_queues();
    EXPECT_EQ(logLines("QTX: "), std::vector<std::string> { "QTX: calendar access NOT granted" });
}
