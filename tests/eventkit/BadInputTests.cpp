#include "EventKitFixture.h"

using namespace eventkit_tests;

namespace {

class BadInput : public EventKitTest {
protected:
    static std::string title(const Ref<EKEvent>& e) { return e->title() ? e->title()->UTF8String() : "(nil)"; }
    static std::string identifier(const Ref<EKEvent>& e) { return e->eventIdentifier()->UTF8String(); }

    std::vector<Ref<EKEvent>> dayOf5March() const { return events(utc("2024-03-05 00:00"), utc("2024-03-06 00:00")); }
};

TEST_F(BadInput, AMalformedItemIsSkippedWithOneLineAndTheRestLoads)
{
    writeCalendarFile(
        "work", "good.ics", calendarText({ event({ "UID:good", "SUMMARY:Good", "DTSTART:20240305T090000Z" }) }));
    writeCalendarFile("work", "no-start.ics", calendarText({ event({ "UID:no-start", "SUMMARY:No start" }) }));
    writeCalendarFile("work", "bad-start.ics", calendarText({ event({ "UID:bad-start", "DTSTART:tomorrow" }) }));
    writeCalendarFile("work", "bad-rule.ics",
        calendarText({ event({ "UID:bad-rule", "DTSTART:20240305T090000Z", "RRULE:FREQ=SOMETIMES" }) }));
    writeCalendarFile("work", "backwards.ics",
        calendarText({ event({ "UID:backwards", "DTSTART:20240305T090000Z", "DTEND:20240305T080000Z" }) }));
    writeCalendarFile("work", "not-ical.ics", "hello, calendar\n");
    writeCalendarFile("work", "truncated.ics", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:cut\r\nDTSTART:2024");
    // One bad item among good ones in the same file.
    writeCalendarFile("work", "mixed.ics",
        calendarText({ event({ "UID:first", "SUMMARY:First", "DTSTART:20240305T100000Z" }),
            event({ "UID:broken", "DTSTART:yesterday" }),
            event({ "UID:last", "SUMMARY:Last", "DTSTART:20240305T110000Z" }) }));

    const auto found = dayOf5March();
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(title(found[0]), "Good");
    EXPECT_EQ(title(found[1]), "First");
    EXPECT_EQ(title(found[2]), "Last");
    for (const char* file : { "no-start.ics", "bad-start.ics", "bad-rule.ics", "backwards.ics", "not-ical.ics",
             "truncated.ics", "mixed.ics" })
        EXPECT_EQ(logLinesWith(std::string(file) + ":").size(), 1u) << file;
    EXPECT_TRUE(logLinesWith("good.ics").empty());
}

TEST_F(BadInput, UnknownZonesFloatInTheDeviceZoneWithOneLineAndOtherZoneNamesResolve)
{
    const std::string customZone = "BEGIN:VTIMEZONE\r\nTZID:My Office\r\n"
                                   "BEGIN:STANDARD\r\nDTSTART:19701025T030000\r\nTZOFFSETFROM:+0200\r\n"
                                   "TZOFFSETTO:+0100\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\n"
                                   "BEGIN:DAYLIGHT\r\nDTSTART:19700329T020000\r\nTZOFFSETFROM:+0100\r\n"
                                   "TZOFFSETTO:+0200\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
                                   "END:VTIMEZONE\r\n";
    writeCalendarFile("work", "zones.ics",
        calendarText({ customZone, event({ "UID:mars", "DTSTART;TZID=Mars/Olympus_Mons:20240305T090000" }),
            event({ "UID:mars-again", "DTSTART;TZID=Mars/Olympus_Mons:20240305T100000" }),
            event({ "UID:custom", "DTSTART;TZID=My Office:20240305T110000" }),
            event({ "UID:vendor",
                "DTSTART;TZID=/mozilla.org/20050126_1/Europe/Berlin:"
                "20240305T130000" }),
            event({ "UID:windows", "DTSTART;TZID=Pacific Standard Time:20240305T060000" }) }));

    const auto found = dayOf5March();
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(starts(found),
        (std::vector<double> { utc("2024-03-05 08:00"), utc("2024-03-05 09:00"), utc("2024-03-05 10:00"),
            utc("2024-03-05 12:00"), utc("2024-03-05 14:00") }));
    const auto lines = logLinesWith("unknown time zone");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("\"Mars/Olympus_Mons\""), std::string::npos);
    EXPECT_NE(lines[0].find("zones.ics"), std::string::npos);
}

TEST_F(BadInput, BrokenTextIsCleaned)
{
    writeCalendarFile("work", "text.ics",
        calendarText({ event({ "UID:text\x01", "DTSTART:20240305T090000Z",
            "SUMMARY:Caf\xC3 \xFF\xFE Meeting\\n\\nnext\x7F line \xE2\x82\xAC",
            "LOCATION:\x1B[31mRoom\xED\xA0\x80 4" }) }));
    const auto found = dayOf5March();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(title(found[0]), "Caf\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD Meeting next line \xE2\x82\xAC");
    EXPECT_EQ(found[0]->location()->UTF8String(), "[31mRoom\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD 4");
    EXPECT_EQ(identifier(found[0]), "13290FF1-3C0E-5D38-8FB5-134E6A049DD4:text");
}

TEST_F(BadInput, MissingValuesStayNilOrFallBack)
{
    writeCalendarFile("work", "nameless.ics",
        calendarText({ event({ "DTSTART:20240305T090000Z" }), event({ "DTSTART:20240305T100000Z" }) }));
    const auto found = dayOf5March();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0]->title(), nullptr);
    EXPECT_EQ(found[0]->location(), nullptr);
    EXPECT_EQ(identifier(found[0]), "13290FF1-3C0E-5D38-8FB5-134E6A049DD4:nameless");
    EXPECT_EQ(identifier(found[1]), "13290FF1-3C0E-5D38-8FB5-134E6A049DD4:nameless-2");
}

TEST_F(BadInput, AnEmptyCalendarListMatchesNothingAndNilMatchesAll)
{
    writeCalendarFile("work", "a.ics", calendarText({ event({ "UID:a", "DTSTART:20240305T090000Z" }) }));
    writeCalendarFile("home", "b.ics", calendarText({ event({ "UID:b", "DTSTART:20240305T100000Z" }) }));
    EKEventStore store;
    EXPECT_TRUE(eventsIn(store, utc("2024-03-05 00:00"), utc("2024-03-06 00:00"), NSArray::array().get()).empty());
    EXPECT_EQ(eventsIn(store, utc("2024-03-05 00:00"), utc("2024-03-06 00:00")).size(), 2u);

    // A calendar of another store is matched by its identifier.
    EKEventStore other;
    auto work = other.calendarWithIdentifier("13290FF1-3C0E-5D38-8FB5-134E6A049DD4"_ns.get());
    const auto onlyWork = eventsIn(
        store, utc("2024-03-05 00:00"), utc("2024-03-06 00:00"), NSArray::array({ Ref<NSObject>(work) }).get());
    ASSERT_EQ(onlyWork.size(), 1u);
    EXPECT_EQ(identifier(onlyWork[0]), "13290FF1-3C0E-5D38-8FB5-134E6A049DD4:a");
    // A window that ends before it starts holds nothing.
    EXPECT_TRUE(eventsIn(store, utc("2024-03-06 00:00"), utc("2024-03-05 00:00")).empty());
}

} // namespace
