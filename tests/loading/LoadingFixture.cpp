#include "LoadingFixture.h"

#include <EventKit/EKEventStore.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSPropertyList.h>
#include <Foundation/NSValue.h>
#include <platform/Environment.h>
#include <platform/Log.h>

namespace loading_testing {
namespace {

constexpr const char* calendarFolder = "/var/mobile/Library/Calendars/";

Ref<NSArray> stringArray(const std::vector<std::string>& strings)
{
    std::vector<Ref<NSObject>> objects;
    for (const std::string& string : strings)
        objects.push_back(NSString::string(string));
    return NSArray::array(std::move(objects));
}

void writePropertyList(const NSObject* root, const std::string& devicePath)
{
    std::string error;
    ASSERT_TRUE(NSPropertyListSerialization::writePropertyList(root, devicePath, NSPropertyListXMLFormat_v1_0, &error))
        << error;
}

} // namespace

std::string calendarText(const std::vector<std::vector<std::string>>& events, const std::string& header)
{
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Dayglass//Loading tests//EN\r\n" + header;
    for (const std::vector<std::string>& lines : events) {
        text += "BEGIN:VEVENT\r\nDTSTAMP:20250101T000000Z\r\n";
        for (const std::string& line : lines)
            text += line + "\r\n";
        text += "END:VEVENT\r\n";
    }
    return text + "END:VCALENDAR\r\n";
}

double sinceReferenceDate(const NSDate* date)
{
    return date->timeIntervalSinceReferenceDate();
}

LoadingTest::LoadingTest()
    : previousLocale_(platform::currentLocaleIdentifier())
    , previousZone_(platform::currentTimeZoneIdentifier())
{
    platform::setCurrentLocaleIdentifier("en_US");
    platform::setCurrentTimeZoneIdentifier(zone);
    EKEventStore::setAdditionalCalendarSources({});
    EKEventStore::setAccessGranted(true);
    platform::clearLog();
}

LoadingTest::~LoadingTest()
{
    platform::setCurrentLocaleIdentifier(previousLocale_);
    platform::setCurrentTimeZoneIdentifier(previousZone_);
    platform::pinCurrentTime(std::nullopt);
    EKEventStore::setAccessGranted(true);
}

Ref<NSDate> LoadingTest::berlin(LocalDay day, int hour, int minute)
{
    return events_testing::localTime(zone, day, hour, minute);
}

void LoadingTest::setNow(const NSDate* now)
{
    platform::pinCurrentTime(now->timeIntervalSince1970());
}

void LoadingTest::addCalendar(const std::string& folder, const std::string& title) const
{
    root_.writeText(calendarFolder + folder + "/displayname", title);
}

void LoadingTest::addItem(const std::string& folder, const std::string& file, const std::string& text) const
{
    root_.writeText(calendarFolder + folder + "/" + file, text);
}

std::string LoadingTest::identifierOf(const std::string& title)
{
    EKEventStore store;
    const Ref<NSArray> calendars = store.calendars();
    for (const Ref<NSObject>& object : *calendars) {
        const auto* calendar = dynamicCast<EKCalendar>(object.get());
        if (calendar->title()->UTF8String() == title)
            return calendar->calendarIdentifier()->UTF8String();
    }
    ADD_FAILURE() << "no calendar titled " << title;
    return {};
}

void LoadingTest::writeCalendarAppPreferences(const std::vector<std::string>* deselected) const
{
    auto preferences = NSMutableDictionary::dictionary();
    preferences->setObjectForKey(NSNumber::numberWithLongLong(2).get(), "CalendarViewMode");
    if (deselected)
        preferences->setObjectForKey(stringArray(*deselected).get(), "LastDeselectedCalendars");
    writePropertyList(preferences.get(), "/private/var/mobile/Library/Preferences/com.apple.mobilecal.plist");
}

void LoadingTest::writeOwnList(const std::vector<std::string>& identifiers) const
{
    writePropertyList(
        stringArray(identifiers).get(), "/var/mobile/Library/Preferences/com.quarnel.dayglass2.calendars.plist");
}

Ref<DGLEventTable> LoadingTest::table(NSInteger days, NSInteger max, bool calendarAppSelection, bool groupByDays)
{
    auto table = makeRef<DGLEventTable>();
    table->setDaysToDisplay(days);
    table->setMaxEventsToDisplay(max);
    table->setOnlySelectedCalendars(calendarAppSelection);
    table->setGroupByDays(groupByDays);
    return table;
}

std::vector<DGLEKEVent*> LoadingTest::records(const NSArray& sections)
{
    std::vector<DGLEKEVent*> all;
    for (const Ref<NSObject>& section : sections)
        for (const Ref<NSObject>& record : *dynamicCast<NSArray>(section.get()))
            all.push_back(dynamicCast<DGLEKEVent>(record.get()));
    return all;
}

std::vector<std::string> LoadingTest::titles(const NSArray& sections)
{
    std::vector<std::string> all;
    for (const DGLEKEVent* record : records(sections))
        all.push_back(record->title() ? record->title()->UTF8String() : "(nil)");
    return all;
}

std::vector<std::string> LoadingTest::logLines(const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& line : platform::loggedLines())
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    return found;
}

} // namespace loading_testing
