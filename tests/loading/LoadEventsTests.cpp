// What a load finds and the records it makes: the window, the order and the
// cap, the links into the calendar application, repeating, moved and cancelled
// occurrences, all-day and multi-day events.
#include "LoadingFixture.h"

#include <platform/Log.h>

#include <cmath>

using namespace loading_testing;

namespace {

std::string linkOf(const DGLEKEVent* record)
{
    return record->URL() ? record->URL()->absoluteString()->UTF8String() : "(nil)";
}

// The `o` value of a whole-second start: the seconds since 2001 and one decimal.
std::string occurrenceValue(const NSDate* start)
{
    return std::to_string(std::llround(sinceReferenceDate(start))) + ".0";
}

// Everything in one calendar, "Work", with its colour; the calendar application
// hides nothing.
class Loading : public LoadingTest {
protected:
    Loading()
    {
        addCalendar("work", "Work");
        root_.writeText("/var/mobile/Library/Calendars/work/color", "#FF9500\n");
        writeCalendarAppPreferences(nullptr);
    }

    void addEvents(const std::string& file, const std::vector<std::vector<std::string>>& events) const
    {
        addItem("work", file, calendarText(events));
    }

    std::string work() const { return identifierOf("Work"); }
};

} // namespace

// The window ends at the same wall-clock time `daysToDisplay` calendar days
// later, so a night that daylight saving shortens or lengthens does not move it.
TEST_F(Loading, WindowEndsAtTheSameWallTimeAcrossDaylightSaving)
{
    struct Case {
        LocalDay today;
        const char* dayAfterTomorrow;
        // Past the window's end; in spring, still within 48 hours of now.
        const char* outsideStart;
        // Inside the window; in autumn, already past 48 hours of now.
        const char* insideStart;
    };
    const Case cases[] = {
        { { 2025, 3, 29 }, "20250331", "T214500", "T212000" },
        { { 2025, 10, 25 }, "20251027", "T220000", "T211500" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dayAfterTomorrow);
        const std::string day = c.dayAfterTomorrow;
        const std::string yesterday = std::to_string(std::stoi(day) - 2);
        addEvents("window-" + day + ".ics",
            {
                { "UID:ended-" + day, "SUMMARY:ended", "DTSTART:" + yesterday + "T200000",
                    "DTEND:" + yesterday + "T210000" },
                { "UID:inside-" + day, "SUMMARY:inside", "DTSTART:" + day + c.insideStart, "DURATION:PT10M" },
                { "UID:outside-" + day, "SUMMARY:outside", "DTSTART:" + day + c.outsideStart, "DURATION:PT10M" },
            });
        setNow(berlin(c.today, 21, 30).get());
        const Ref<NSArray> sections = table(2)->loadEvents();
        EXPECT_EQ(titles(*sections), std::vector<std::string> { "inside" });
    }
}

TEST_F(Loading, SortsAcrossCalendarsAndKeepsAtMostTheCap)
{
    addCalendar("home", "Home");
    addEvents("a.ics", { { "UID:a", "SUMMARY:09:00", "DTSTART:20250603T090000", "DURATION:PT30M" } });
    addItem(
        "home", "b.ics", calendarText({ { "UID:b", "SUMMARY:10:00", "DTSTART:20250603T100000", "DURATION:PT30M" } }));
    addEvents("c.ics", { { "UID:c", "SUMMARY:11:00", "DTSTART:20250603T110000", "DURATION:PT30M" } });
    addItem("home", "d.ics",
        calendarText({ { "UID:d", "SUMMARY:08:00 next day", "DTSTART:20250604T080000", "DURATION:PT30M" } }));
    setNow(berlin({ 2025, 6, 3 }, 7).get());

    const std::vector<std::string> all { "09:00", "10:00", "11:00", "08:00 next day" };
    for (NSInteger noLimit : { 0, -1, -100 })
        EXPECT_EQ(titles(*table(3, noLimit)->loadEvents()), all) << noLimit;
    EXPECT_EQ(titles(*table(3, 1)->loadEvents()), std::vector<std::string> { "09:00" });

    platform::clearLog();
    const Ref<NSArray> capped = table(3, 3)->loadEvents();
    EXPECT_EQ(titles(*capped), std::vector<std::string>(all.begin(), all.begin() + 3));
    // Records past the cap are never made.
    EXPECT_EQ(logLines("got event url: ").size(), 3u);

    const Ref<NSArray> grouped = table(3)->loadEvents();
    EXPECT_EQ(grouped->count(), 2u);
    const Ref<NSArray> ungrouped = table(3, 0, true, false)->loadEvents();
    ASSERT_EQ(ungrouped->count(), 1u);
    EXPECT_EQ(titles(*ungrouped), all);
}

TEST_F(Loading, RecordsCopyTheOccurrenceAndItsCalendar)
{
    addEvents("one.ics",
        { { "UID:one", "SUMMARY:Design review", "LOCATION:Room 4.2", "DTSTART:20250603T140000",
              "DTEND:20250603T150000" },
            { "UID:two", "SUMMARY:Focus time", "DTSTART:20250603T160000", "DTEND:20250603T170000" } });
    setNow(berlin({ 2025, 6, 3 }, 7).get());

    const Ref<NSArray> sections = table(1)->loadEvents();
    const std::vector<DGLEKEVent*> found = records(*sections);
    ASSERT_EQ(found.size(), 2u);
    const DGLEKEVent* review = found[0];
    EXPECT_EQ(review->title()->UTF8String(), "Design review");
    EXPECT_EQ(review->location()->UTF8String(), "Room 4.2");
    EXPECT_TRUE(review->startDate()->isEqual(berlin({ 2025, 6, 3 }, 14).get()));
    EXPECT_TRUE(review->endDate()->isEqual(berlin({ 2025, 6, 3 }, 15).get()));
    EXPECT_FALSE(review->isAllDay());
    EXPECT_NEAR(review->calendarColor()->red(), 1, 1e-6);
    EXPECT_NEAR(review->calendarColor()->green(), 149 / 255.0, 1e-6);
    EXPECT_NEAR(review->calendarColor()->blue(), 0, 1e-6);
    EXPECT_EQ(review->calendarIdentifier()->UTF8String(), work());
    EXPECT_EQ(found[1]->location(), nullptr);
}

// The link names the stored event: separators become slashes and an occurrence
// suffix, "/RID…" or ":RID…", is cut off; `o` names the occurrence by its start.
TEST_F(Loading, LinksNameTheStoredEventAndTheOccurrenceStart)
{
    addEvents("standup.ics",
        {
            { "UID:standup", "SUMMARY:Stand-up", "DTSTART:20250602T093000", "DURATION:PT15M",
                "RRULE:FREQ=DAILY;COUNT=5" },
            { "UID:standup", "RECURRENCE-ID:20250603T093000", "SUMMARY:Stand-up (late)", "DTSTART:20250603T113000",
                "DURATION:PT15M" },
        });
    addEvents("legacy.ics",
        { { "UID:legacy:RID=20250604", "SUMMARY:Imported", "DTSTART:20250604T120000", "DURATION:PT1H" } });
    addEvents("spaced.ics", { { "UID:meeting 42", "SUMMARY:Spaced", "DTSTART:20250604T130000", "DURATION:PT1H" } });
    setNow(berlin({ 2025, 6, 2 }, 20).get());

    platform::clearLog();
    const Ref<NSArray> sections = table(2, 0, true, false)->loadEvents();
    const std::vector<DGLEKEVent*> found = records(*sections);
    ASSERT_EQ(titles(*sections), (std::vector<std::string> { "Stand-up (late)", "Stand-up", "Imported", "Spaced" }));

    const std::string stored = "x-apple-calevent://" + work() + "/";
    const Ref<NSDate> moved = berlin({ 2025, 6, 3 }, 11, 30), regular = berlin({ 2025, 6, 4 }, 9, 30);
    EXPECT_EQ(linkOf(found[0]), stored + "standup?o=" + occurrenceValue(moved.get()));
    EXPECT_EQ(linkOf(found[1]), stored + "standup?o=" + occurrenceValue(regular.get()));
    EXPECT_EQ(linkOf(found[2]), stored + "legacy?o=" + occurrenceValue(berlin({ 2025, 6, 4 }, 12).get()));
    // Not a URL: the record keeps no link, but is listed all the same.
    EXPECT_EQ(found[3]->URL(), nullptr);

    const std::string spacedText = stored + "meeting 42?o=" + occurrenceValue(berlin({ 2025, 6, 4 }, 13).get());
    EXPECT_EQ(logLines("got event url: "),
        (std::vector<std::string> { "got event url: " + linkOf(found[0]), "got event url: " + linkOf(found[1]),
            "got event url: " + linkOf(found[2]), "got event url: " + spacedText }));
}

TEST_F(Loading, RepeatingEventsSkipExceptionsAndFollowOverrides)
{
    addEvents("review.ics",
        {
            { "UID:review", "SUMMARY:Review", "DTSTART;TZID=Europe/Berlin:20250506T100000", "DURATION:PT1H",
                "RRULE:FREQ=WEEKLY;BYDAY=TU", "EXDATE;TZID=Europe/Berlin:20250610T100000" },
            { "UID:review", "RECURRENCE-ID;TZID=Europe/Berlin:20250617T100000", "SUMMARY:Review (moved)",
                "DTSTART;TZID=Europe/Berlin:20250618T140000", "DURATION:PT1H" },
            { "UID:review", "RECURRENCE-ID;TZID=Europe/Berlin:20250624T100000", "SUMMARY:Review", "STATUS:CANCELLED",
                "DTSTART;TZID=Europe/Berlin:20250624T100000", "DURATION:PT1H" },
        });
    setNow(berlin({ 2025, 6, 1 }, 8).get());

    const Ref<NSArray> sections = table(35, 0, true, false)->loadEvents();
    const std::vector<DGLEKEVent*> found = records(*sections);
    ASSERT_EQ(titles(*sections), (std::vector<std::string> { "Review", "Review (moved)", "Review" }));
    const Ref<NSDate> starts[]
        = { berlin({ 2025, 6, 3 }, 10), berlin({ 2025, 6, 18 }, 14), berlin({ 2025, 7, 1 }, 10) };
    const std::string stored = "x-apple-calevent://" + work() + "/review?o=";
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_TRUE(found[i]->startDate()->isEqual(starts[i].get())) << i;
        EXPECT_EQ(linkOf(found[i]), stored + occurrenceValue(starts[i].get())) << i;
    }
}

// An event counts from its start: one that began on an earlier day and still
// runs is listed under that day, an all-day event today from its midnight.
TEST_F(Loading, AllDayAndMultiDayEventsAreListedUnderTheirFirstDay)
{
    addEvents("days.ics",
        {
            { "UID:conference", "SUMMARY:Conference", "DTSTART:20250601T090000", "DTEND:20250604T180000" },
            { "UID:holiday", "SUMMARY:Holiday", "DTSTART;VALUE=DATE:20250603", "DTEND;VALUE=DATE:20250604" },
            { "UID:trip", "SUMMARY:Trip", "DTSTART;VALUE=DATE:20250604", "DTEND;VALUE=DATE:20250607" },
        });
    setNow(berlin({ 2025, 6, 3 }, 15).get());

    const Ref<NSArray> sections = table(2)->loadEvents();
    ASSERT_EQ(sections->count(), 3u);
    EXPECT_EQ(titles(*sections), (std::vector<std::string> { "Conference", "Holiday", "Trip" }));

    const std::vector<DGLEKEVent*> found = records(*sections);
    EXPECT_FALSE(found[0]->isAllDay());
    EXPECT_TRUE(found[1]->isAllDay());
    EXPECT_TRUE(found[1]->startDate()->isEqual(berlin({ 2025, 6, 3 }).get()));
    EXPECT_TRUE(found[2]->isAllDay());
    EXPECT_TRUE(found[2]->startDate()->isEqual(berlin({ 2025, 6, 4 }).get()));
    EXPECT_TRUE(found[2]->endDate()->isEqual(berlin({ 2025, 6, 7 })->dateByAddingTimeInterval(-1).get()));
}
