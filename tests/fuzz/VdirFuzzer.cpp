// A vdir of several items: the input cut at every "\n%%\n" into at most eight
// .ics files, dealt out between two calendar folders, then loaded by the event
// table as the lock screen loads it, grouped by day, with every row's date text.
#include "FuzzSupport.h"

#include "events/DGLEKEVent.h"
#include "listview/DGLEventTable.h"

#include <platform/Log.h>

#include <string>

namespace {

constexpr const char* calendarsFolder = "/var/mobile/Library/Calendars/";
constexpr const char* calendarFolders[] = { "home", "work" };
constexpr std::size_t maxFiles = 8;

void writeVdir(std::string_view input)
{
    for (const char* folder : calendarFolders)
        fuzzing::clearDeviceFolder(calendarsFolder + std::string(folder));
    const std::vector<std::string_view> files = fuzzing::splitInput(input, "\n%%\n", maxFiles);
    for (std::size_t i = 0; i < files.size(); ++i)
        fuzzing::writeDeviceFile(
            std::string(calendarsFolder) + calendarFolders[i % 2] + "/item-" + std::to_string(i) + ".ics", files[i]);
}

// Every row's date text, as the cells ask for it.
void makeDateTexts(const NSArray& sections)
{
    for (const Ref<NSObject>& section : sections)
        for (const Ref<NSObject>& object : *dynamicCast<NSArray>(section.get())) {
            const auto* record = dynamicCast<DGLEKEVent>(object.get());
            (void)DGLEventTable::createPrettyDateFrom(record->startDate(), record->isAllDay());
        }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The calendar application hides no calendar.
    fuzzing::writeDeviceFile("/var/mobile/Library/Preferences/com.apple.mobilecal.plist",
        "<plist version=\"1.0\"><dict><key>CalendarViewMode</key><integer>2</integer></dict></plist>");
    fuzzing::warmUp(
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:warm\r\nSUMMARY:Warm\r\nDTSTART;TZID=Europe/Berlin:20250610T120000\r\n"
        "DURATION:PT1H\r\nRRULE:FREQ=DAILY;COUNT=3\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    writeVdir(fuzzing::asText(data, size));
    {
        auto table = makeRef<DGLEventTable>();
        table->setDaysToDisplay(7);
        table->setOnlySelectedCalendars(true);
        table->setGroupByDays(true);
        const Ref<NSArray> sections = table->loadEvents();
        makeDateTexts(*sections);
    }
    platform::clearLog();
    return 0;
}
