#include "EventKitFixture.h"

#include <objc/message.h>
#include <platform/Log.h>

#include <filesystem>
#include <future>
#include <regex>
#include <thread>

using namespace eventkit_tests;

namespace {

class StoreCalendars : public EventKitTest {
protected:
    std::vector<std::string> titles() const
    {
        EKEventStore store;
        std::vector<std::string> result;
        const auto calendars = store.calendars();
        for (const auto& object : *calendars)
            result.push_back(dynamicCast<EKCalendar>(object.get())->title()->UTF8String());
        return result;
    }

    Ref<EKCalendar> calendarTitled(const EKEventStore& store, const std::string& title) const
    {
        const auto calendars = store.calendars();
        for (const auto& object : *calendars) {
            auto* calendar = dynamicCast<EKCalendar>(object.get());
            if (calendar->title()->UTF8String() == title)
                return calendar;
        }
        return nullptr;
    }

    static std::vector<double> rgba(const EKCalendar* calendar)
    {
        const CGColor* color = calendar->CGColor();
        return { color->red(), color->green(), color->blue(), color->alpha() };
    }

    std::string anItem(const std::string& header = "") const
    {
        return calendarText({ event({ "UID:one", "DTSTART:20240305T080000Z", "SUMMARY:One" }) }, header);
    }
};

TEST_F(StoreCalendars, DeviceFoldersInNameOrderWithStableIdentifiersAndTitles)
{
    writeCalendarFile("work", "displayname", "Work\n");
    writeCalendarFile("work", "a.ics", anItem());
    writeCalendarFile("home", "a.ics", anItem("X-WR-CALNAME:Family\r\n"));
    writeCalendarFile("zebra", "displayname", "");

    EXPECT_EQ(titles(), (std::vector<std::string> { "Family", "Work", "zebra" }));
    EKEventStore store;
    // RFC 4122 version 5 of "x-dayglass-calendar:<folder>" in the URL namespace.
    EXPECT_EQ(
        calendarTitled(store, "Work")->calendarIdentifier()->UTF8String(), "13290FF1-3C0E-5D38-8FB5-134E6A049DD4");
    EXPECT_EQ(
        calendarTitled(store, "Family")->calendarIdentifier()->UTF8String(), "E9D2AD14-334D-5793-B1F1-B03E2FBA3382");

    // The same folder name under another device root keeps its identifier.
    testing_support::TempDeviceRoot otherRoot;
    otherRoot.writeText("/var/mobile/Library/Calendars/work/displayname", "Elsewhere");
    EKEventStore otherStore;
    ASSERT_EQ(otherStore.calendars()->count(), 1u);
    EXPECT_EQ(dynamicCast<EKCalendar>(otherStore.calendars()->firstObject())->calendarIdentifier()->UTF8String(),
        "13290FF1-3C0E-5D38-8FB5-134E6A049DD4");
}

TEST_F(StoreCalendars, CalendarWithIdentifierAnswersNilForUnknown)
{
    writeCalendarFile("work", "a.ics", anItem());
    EKEventStore store;
    auto known = store.calendarWithIdentifier("13290FF1-3C0E-5D38-8FB5-134E6A049DD4"_ns.get());
    ASSERT_TRUE(known);
    EXPECT_EQ(known->title()->UTF8String(), "work");
    EXPECT_FALSE(store.calendarWithIdentifier("13290FF1-3C0E-5D38-8FB5-000000000000"_ns.get()));
    EXPECT_FALSE(store.calendarWithIdentifier(nullptr));
}

TEST_F(StoreCalendars, ColorFromColorFileThenCalendarPropertiesThenPalette)
{
    writeCalendarFile("a-file", "color", "#FF000080\n");
    writeCalendarFile("a-file", "a.ics", anItem("X-APPLE-CALENDAR-COLOR:#00FF00\r\n"));
    writeCalendarFile("b-apple", "color", "not a colour");
    writeCalendarFile("b-apple", "a.ics", anItem("X-APPLE-CALENDAR-COLOR:#00FF00\r\n"));
    writeCalendarFile("c-css", "a.ics", anItem("COLOR:turquoise\r\n"));
    writeCalendarFile("d-none", "a.ics", anItem());
    // As other programs write the file: digits without '#', three digits.
    writeCalendarFile("e-bare", "color", "0000FF\n");
    writeCalendarFile("f-short", "color", "#0F0");

    EKEventStore store;
    EXPECT_EQ(rgba(calendarTitled(store, "a-file").get()), (std::vector<double> { 1, 0, 0, 128 / 255.0 }));
    EXPECT_EQ(rgba(calendarTitled(store, "e-bare").get()), (std::vector<double> { 0, 0, 1, 1 }));
    EXPECT_EQ(rgba(calendarTitled(store, "f-short").get()), (std::vector<double> { 0, 1, 0, 1 }));
    EXPECT_EQ(rgba(calendarTitled(store, "b-apple").get()), (std::vector<double> { 0, 1, 0, 1 }));
    EXPECT_EQ(
        rgba(calendarTitled(store, "c-css").get()), (std::vector<double> { 64 / 255.0, 224 / 255.0, 208 / 255.0, 1 }));

    const std::vector<std::vector<double>> palette
        = { { 1, 59 / 255.0, 48 / 255.0, 1 }, { 1, 149 / 255.0, 0, 1 }, { 1, 204 / 255.0, 0, 1 },
              { 76 / 255.0, 217 / 255.0, 100 / 255.0, 1 }, { 27 / 255.0, 173 / 255.0, 248 / 255.0, 1 },
              { 204 / 255.0, 115 / 255.0, 225 / 255.0, 1 }, { 162 / 255.0, 132 / 255.0, 94 / 255.0, 1 } };
    const auto fallback = rgba(calendarTitled(store, "d-none").get());
    EXPECT_NE(std::find(palette.begin(), palette.end(), fallback), palette.end());
    EKEventStore again;
    EXPECT_EQ(rgba(calendarTitled(again, "d-none").get()), fallback);
}

TEST_F(StoreCalendars, HostSourcesFollowTheDeviceCalendarsInTheOrderGiven)
{
    writeCalendarFile("work", "a.ics", anItem());
    const auto exported = root_.path() / "outside" / "export.ics";
    const auto single = root_.path() / "outside" / "single";
    const auto collection = root_.path() / "outside" / "synced";
    root_.writeText("/outside/export.ics", anItem("X-WR-CALNAME:Exported\r\n"));
    root_.writeText("/outside/single/x.ics", anItem());
    root_.writeText("/outside/synced/personal/displayname", "Personal");
    root_.writeText("/outside/synced/personal/x.ics", anItem());
    root_.writeText("/outside/synced/club/x.ics", anItem());
    EKEventStore::setAdditionalCalendarSources({ single.string() + "/", exported.string(), collection.string(),
        (root_.path() / "missing").string(), exported });

    EXPECT_EQ(titles(), (std::vector<std::string> { "work", "single", "Exported", "club", "Personal" }));
    EKEventStore store;
    const std::regex uuidV5("[0-9A-F]{8}-[0-9A-F]{4}-5[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    const auto calendars = store.calendars();
    for (const auto& object : *calendars)
        EXPECT_TRUE(
            std::regex_match(dynamicCast<EKCalendar>(object.get())->calendarIdentifier()->UTF8String(), uuidV5));
    EXPECT_FALSE(store.calendars()->objectAtIndex(3)->isEqual(store.calendars()->objectAtIndex(4)));

    // The same path, spelt differently, is the same calendar.
    EKEventStore::setAdditionalCalendarSources({ (root_.path() / "outside" / "." / "single").string() });
    EKEventStore respelt;
    ASSERT_EQ(respelt.calendars()->count(), 2u);
    EXPECT_TRUE(respelt.calendars()->objectAtIndex(1)->isEqual(store.calendars()->objectAtIndex(1)));
    EXPECT_EQ(logLinesWith("EventKit: no calendar file or folder at").size(), 1u);
}

TEST_F(StoreCalendars, ACalendarReachedByTwoPathsIsOneCalendar)
{
    writeCalendarFile("work", "a.ics", anItem());
    root_.writeText("/outside/single/x.ics", anItem());
    const auto deviceCalendars = root_.file("/var/mobile/Library/Calendars");
    std::filesystem::create_directory_symlink(deviceCalendars / "work", root_.path() / "work-link");
    std::filesystem::create_directory_symlink(root_.path() / "outside" / "single", root_.path() / "single-link");
    // The device's own folder again, one of its calendars through a link, a
    // folder both directly and through a link, and an item of each named
    // before or after its folder.
    EKEventStore::setAdditionalCalendarSources({ (root_.path() / "outside" / "single" / "x.ics").string(),
        deviceCalendars.string(), (root_.path() / "work-link").string(), (root_.path() / "outside" / "single").string(),
        (root_.path() / "single-link").string(), (root_.path() / "work-link" / "a.ics").string() });

    EXPECT_EQ(titles(), (std::vector<std::string> { "work", "single" }));
    const auto found = events(utc("2024-03-05 00:00"), utc("2024-03-06 00:00"));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0]->calendar()->title()->UTF8String(), "work");
    EXPECT_EQ(found[1]->calendar()->title()->UTF8String(), "single");
    EXPECT_TRUE(logLinesWith("calendar index").empty());
}

TEST_F(StoreCalendars, AccessIsAnsweredOnAnotherThreadAndDeniedStoresShowNothing)
{
    writeCalendarFile("work", "a.ics", anItem());
    auto ask = [] {
        std::promise<std::pair<bool, std::thread::id>> answer;
        EKEventStore store;
        store.requestAccessToEntityType(EKEntityTypeEvent, [&answer](BOOL granted, NSError* error) {
            EXPECT_EQ(error, nullptr);
            answer.set_value({ granted, std::this_thread::get_id() });
        });
        return answer.get_future().get();
    };
    const auto granted = ask();
    EXPECT_TRUE(granted.first);
    EXPECT_NE(granted.second, std::this_thread::get_id());
    EXPECT_EQ(events(utc("2024-03-05 00:00"), utc("2024-03-06 00:00")).size(), 1u);

    EKEventStore::setAccessGranted(false);
    EXPECT_FALSE(ask().first);
    EXPECT_EQ(EKEventStore::authorizationStatusForEntityType(EKEntityTypeEvent), EKAuthorizationStatusDenied);
    EKEventStore denied;
    EXPECT_EQ(denied.calendars()->count(), 0u);
    EXPECT_FALSE(denied.calendarWithIdentifier("13290FF1-3C0E-5D38-8FB5-134E6A049DD4"_ns.get()));
    EXPECT_TRUE(eventsIn(denied, utc("2024-03-05 00:00"), utc("2024-03-06 00:00")).empty());
}

TEST_F(StoreCalendars, PersistentEventAnswersBySelector)
{
    writeCalendarFile("work", "a.ics", anItem());
    const auto found = events(utc("2024-03-05 00:00"), utc("2024-03-06 00:00"));
    ASSERT_EQ(found.size(), 1u);
    NSObject* persistent = objc_msgSend<id>(found[0].get(), "_persistentEvent");
    auto* identifier = dynamicCast<NSString>(objc_msgSend<id>(persistent, "eventIdentifier"));
    ASSERT_TRUE(identifier);
    EXPECT_EQ(identifier->UTF8String(), "13290FF1-3C0E-5D38-8FB5-134E6A049DD4:one");
    EXPECT_EQ(found[0]->calendar()->title()->UTF8String(), "work");
}

} // namespace
