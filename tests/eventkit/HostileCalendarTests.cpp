// Calendars built to hurt: files that are not files, text that breaks the
// reader, and items too large to build.
#include "EventKitFixture.h"

#include "EventKit/CalendarText.h"
#include "EventKit/ItemParser.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

using namespace eventkit_tests;

namespace {

class HostileCalendar : public EventKitTest {
protected:
    std::filesystem::path calendarPath(const std::string& name) const
    {
        return root_.file("/var/mobile/Library/Calendars/work/" + name);
    }
    std::vector<Ref<EKEvent>> dayOf5March() const { return events(utc("2024-03-05 00:00"), utc("2024-03-06 00:00")); }
    static std::string title(const Ref<EKEvent>& e) { return e->title() ? e->title()->UTF8String() : "(nil)"; }
};

TEST_F(HostileCalendar, FilesThatCannotBeReadAreSkippedWithOneLineEach)
{
    writeCalendarFile("work", "good.ics", calendarText({ event({ "UID:good", "DTSTART:20240305T090000Z" }) }));
    // Opening a FIFO for reading would wait for a writer that never comes.
    ASSERT_EQ(mkfifo(calendarPath("fifo.ics").c_str(), 0644), 0);
    // Listed, then gone before it is read.
    std::filesystem::create_symlink("vanished", calendarPath("gone.ics"));
    std::filesystem::create_symlink("loop.ics", calendarPath("loop.ics"));
    std::filesystem::create_directory_symlink(".", calendarPath("again"));
    std::vector<std::string> bad { "fifo.ics", "gone.ics", "loop.ics" };
    // Root reads a file of mode 000, so only another user sees this one refused.
    if (geteuid() != 0) {
        writeCalendarFile("work", "secret.ics", calendarText({ event({ "UID:secret", "DTSTART:20240305T100000Z" }) }));
        std::filesystem::permissions(calendarPath("secret.ics"), std::filesystem::perms::none);
        bad.push_back("secret.ics");
    }

    const auto found = dayOf5March();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->eventIdentifier()->UTF8String(), "13290FF1-3C0E-5D38-8FB5-134E6A049DD4:good");
    for (const std::string& file : bad)
        EXPECT_EQ(logLinesWith("skipping " + calendarPath(file).string() + ": ").size(), 1u) << file;
    // The host hears of each, with why.
    const std::vector<std::string> reasons { "not a regular file", "No such file or directory",
        "Too many levels of symbolic links", "Permission denied" };
    const std::vector<EKSkippedCalendarFile> skipped = EKEventStore::skippedCalendarFiles();
    ASSERT_EQ(skipped.size(), bad.size());
    for (std::size_t at = 0; at < bad.size(); ++at) {
        EXPECT_EQ(skipped[at].path, calendarPath(bad[at]).string());
        EXPECT_EQ(skipped[at].reason, reasons[at]);
    }
}

// Runs as nobody while it lives when the tests run as root, so that file modes apply.
class Unprivileged {
public:
    Unprivileged()
    {
        if (wasRoot_) {
            EXPECT_EQ(seteuid(65534), 0);
        }
    }
    ~Unprivileged()
    {
        if (wasRoot_) {
            EXPECT_EQ(seteuid(0), 0);
        }
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

private:
    bool wasRoot_ = geteuid() == 0;
};

TEST_F(HostileCalendar, AFolderThatCannotBeListedIsToldOnceWithWhy)
{
    writeCalendarFile("work", "good.ics", calendarText({ event({ "UID:good", "DTSTART:20240305T090000Z" }) }));
    const std::filesystem::path folder = calendarPath("good.ics").parent_path();
    for (std::filesystem::path above = folder.parent_path(); above != root_.path().parent_path();
         above = above.parent_path())
        std::filesystem::permissions(above, std::filesystem::perms::all);
    std::filesystem::permissions(folder, std::filesystem::perms::none);
    {
        const Unprivileged nobody;
        EXPECT_TRUE(dayOf5March().empty());
        EXPECT_TRUE(dayOf5March().empty());
        const std::vector<EKSkippedCalendarFile> skipped = EKEventStore::skippedCalendarFiles();
        ASSERT_EQ(skipped.size(), 1u);
        EXPECT_EQ(skipped[0].path, folder.string());
        EXPECT_EQ(skipped[0].reason, "it cannot be listed (Permission denied)");
    }
    EXPECT_EQ(logLinesWith("skipping " + folder.string() + ": it cannot be listed (Permission denied)").size(), 1u);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    EXPECT_EQ(dayOf5March().size(), 1u);
    EXPECT_TRUE(EKEventStore::skippedCalendarFiles().empty());
}

TEST_F(HostileCalendar, AnItemFileGoneBeforeItsWindowIsQueriedLogsOneLine)
{
    writeCalendarFile("work", "plain.ics", calendarText({ event({ "UID:plain", "DTSTART:20240305T090000Z" }) }));
    EKEventStore store;
    EXPECT_TRUE(eventsIn(store, utc("2024-06-01 00:00"), utc("2024-06-02 00:00")).empty());
    removeCalendarFile("work", "plain.ics");
    EXPECT_TRUE(eventsIn(store, utc("2024-03-05 00:00"), utc("2024-03-06 00:00")).empty());
    EXPECT_EQ(logLinesWith(calendarPath("plain.ics").string()).size(), 1u);
}

TEST_F(HostileCalendar, NulBytesLineEndingsAndFoldsKeepTheRestOfTheFile)
{
    // A title of 3 KB folded every 75 bytes, one fold splitting a UTF-8
    // character, on lines ending in LF and in CRLF; a title of 100 KB on one line.
    std::string longTitle;
    for (int i = 0; i < 40; ++i)
        longTitle += std::string(74, 'a') + "\r\n\t";
    const std::string text = std::string("BEGIN:VCALENDAR\nVERSION:2.0\r\n")
        + "BEGIN:VEVENT\nUID:nul\nDTSTART:20240305T080000Z\nSUMMARY:before" + std::string(1, '\0') + "after\n"
        + "END:VEVENT\n" + "BEGIN:VEVENT\r\nUID:folded\r\nDTSTART:20240305T090000Z\r\nSUMMARY:Caf\xC3\r\n \xA9 "
        + longTitle + "end\r\nEND:VEVENT\r\n" + "BEGIN:VEVENT\r\nUID:last\nDTSTART:20240305T100000Z\r\nSUMMARY:"
        + std::string(100'000, 'z') + "\nEND:VEVENT\r\nEND:VCALENDAR\n";
    writeCalendarFile("work", "mixed.ics", text);

    const auto found = dayOf5March();
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(title(found[0]), "beforeafter");
    const std::string folded = title(found[1]);
    EXPECT_EQ(folded.size(), std::string("Caf\xC3\xA9 end").size() + 40 * 74);
    EXPECT_TRUE(folded.starts_with("Caf\xC3\xA9 aaa"));
    EXPECT_TRUE(folded.ends_with("aaaend"));
    EXPECT_EQ(title(found[2]), std::string(4096, 'z'));
}

TEST(HostileCalendarText, AContentLineIsCutAfterItsBoundFoldsIncluded)
{
    const std::size_t bound = eventkit::maxContentLineBytes;
    std::string folded;
    for (std::size_t written = 0; written < bound + 1000; written += 74)
        folded += std::string(74, 'f') + "\r\n ";
    const std::string text = event({ "UID:long", "SUMMARY:" + std::string(bound + 1000, 's'),
        "LOCATION:" + folded + "end", "DTSTART:20240305T090000Z" });
    const eventkit::ComponentHandle item = eventkit::parseComponent(text);
    ASSERT_TRUE(item);
    EXPECT_EQ(std::strlen(icalcomponent_get_summary(item.get())), bound - std::string("SUMMARY:").size());
    // The bound counts the line as written, with each fold's leading space.
    const std::size_t location = std::strlen(icalcomponent_get_location(item.get()));
    EXPECT_LE(location, bound);
    EXPECT_GT(location, bound - bound / 64);
    EXPECT_EQ(icaltime_as_timet(icalcomponent_get_dtstart(item.get())), static_cast<time_t>(utc("2024-03-05 09:00")));
}

std::string zonedCalendar(int events)
{
    std::vector<std::string> components { "BEGIN:VTIMEZONE\r\nTZID:Office\r\nBEGIN:STANDARD\r\n"
                                          "DTSTART:19700101T000000\r\nTZOFFSETFROM:+0300\r\nTZOFFSETTO:+0300\r\n"
                                          "END:STANDARD\r\nEND:VTIMEZONE\r\n" };
    for (int i = 0; i < events; ++i)
        components.push_back(event({ "UID:e" + std::to_string(i), "DTSTART;TZID=Office:20240305T090000",
            "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT5M\r\nEND:VALARM" }));
    return calendarText(components, "X-WR-CALNAME:Big\r\n");
}

TEST(HostileCalendarText, ManyItemsAreCutApartAndTheFrameHoldsOnlyTheCalendar)
{
    const std::string text = zonedCalendar(2000);
    const auto calendars = eventkit::splitCalendars(text, 100);
    ASSERT_TRUE(calendars);
    ASSERT_EQ(calendars->size(), 1u);
    const eventkit::CalendarText& calendar = calendars->front();
    ASSERT_EQ(calendar.events.size(), 2000u);
    EXPECT_TRUE(calendar.events.back().text.starts_with("BEGIN:VEVENT\r\nUID:e1999\r\n"));
    EXPECT_TRUE(calendar.events.back().text.ends_with("END:VEVENT\r\n"));
    // The frame does not grow with the items, so each is parsed beside it alone.
    EXPECT_LT(calendar.frame.size(), 400u);
    EXPECT_EQ(calendar.frame.find("VEVENT"), std::string::npos);

    const eventkit::ParsedFile parsed = eventkit::parseCalendarFile(text, "big.ics");
    ASSERT_EQ(parsed.series.size(), 2000u);
    EXPECT_EQ(parsed.calendarName, "Big");
    EXPECT_NE(parsed.series.back().master.start.zone, nullptr);
    EXPECT_TRUE(parsed.problems.empty());
    // BEGIN and END lines that do not pair up leave the whole text to libical.
    EXPECT_FALSE(eventkit::splitCalendars(text.substr(0, text.size() / 2), 100));
}

TEST(HostileCalendarText, AnItemWithTooManyValuesIsSkippedBeforeItIsBuilt)
{
    std::vector<std::string> exdates, listed { "UID:listed", "DTSTART:20240305T090000Z", "RRULE:FREQ=DAILY" };
    for (int i = 0; i < 150; ++i)
        exdates.push_back("EXDATE:202403" + std::to_string(10 + i % 20) + "T090000Z");
    std::string list = "EXDATE:20240306T090000Z";
    for (int i = 0; i < 150; ++i)
        list += ",20240307T090000Z";
    listed.push_back(list);
    std::vector<std::string> many { "UID:many", "DTSTART:20240305T090000Z", "RRULE:FREQ=DAILY" };
    many.insert(many.end(), exdates.begin(), exdates.end());
    std::string nested;
    for (int i = 0; i < 60; ++i)
        nested = "BEGIN:VALARM\r\n" + nested + "END:VALARM\r\n";
    std::vector<std::string> fine { "UID:fine", "DTSTART:20240305T090000Z", "RRULE:FREQ=DAILY" };
    fine.insert(fine.end(), exdates.begin(), exdates.begin() + 50);
    const std::string zone = "BEGIN:VTIMEZONE\r\nTZID:Deep\r\n" + nested + "END:VTIMEZONE\r\n";
    std::string properties;
    for (int i = 0; i < 150; ++i)
        properties += "X-FILLER:" + std::to_string(i) + "\r\n";
    const std::string text = calendarText(
        { zone, event(many), event(listed),
            event({ "UID:deep", "DTSTART;TZID=Deep:20240305T090000", nested.substr(0, nested.size() - 2) }),
            event(fine) },
        properties);

    const eventkit::ParseLimits limits { .maxValuesPerItem = 100 };
    const eventkit::ParsedFile parsed = eventkit::parseCalendarFile(text, "hostile.ics", limits);
    ASSERT_EQ(parsed.series.size(), 1u);
    EXPECT_EQ(parsed.series[0].master.uid, "fine");
    EXPECT_EQ(parsed.series[0].recurrence->exceptions.size(), 50u);
    // Three items, and the zone with the calendar's lines past the bound.
    EXPECT_EQ(parsed.problems.size(), 4u);
    // VERSION, PRODID and 150 fillers: 52 past the bound.
    EXPECT_EQ(eventkit::splitCalendars(text, 100)->front().leftOut, 1u + 52u);

    // Unpaired BEGIN and END lines leave only a small file to libical.
    const std::string unpaired = text.substr(0, text.size() - 15);
    EXPECT_EQ(eventkit::parseCalendarFile(unpaired, "cut.ics", limits).problems.size(), 1u);
}

} // namespace
