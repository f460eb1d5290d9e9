// The preference file's bytes, as another program may leave them, through
// loadPreferences and into an event table built and drawn with the result, on a
// device with the sample device's holidays and two events of today: a calendar
// whose ten years (the most the settings allow) still load in a fraction of a
// second under the sanitizers.
#include "FuzzSupport.h"

#include "tweak/EventTablePlacement.h"
#include "tweak/TweakSettings.h"

#include <UIKit/UIGraphics.h>
#include <filesystem>
#include <platform/Log.h>

namespace {

// Drawn small: the whole tree is laid out and drawn, for a fraction of the pixels.
void drawScaledDown(DGLEventTable& table)
{
    UIGraphicsBeginImageContext(CGSizeMake(60, 60));
    table.drawViewHierarchyInRect(CGRectMake(0, 0, 60, 60));
    UIGraphicsEndImageContext();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzing::writeDeviceFile(preferencesFilePath, fuzzing::asText(data, size));
    loadPreferences();
    {
        Ref<DGLEventTable> table = createEventTable(CGRectMake(0, 100, 375, 400));
        drawScaledDown(*table);
    }
    resetTweakSettings();
    platform::clearLog();
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzing::installSampleDevice();
    for (const char* busy : { "home", "work", "family" })
        std::filesystem::remove_all(fuzzing::deviceRoot() / "private/var/mobile/Library/Calendars" / busy);
    fuzzing::writeDeviceFile("/var/mobile/Library/Calendars/today/today.ics",
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:lunch\r\nSUMMARY:Lunch with Anna\r\nLOCATION:Cafe Einstein\r\n"
        "DTSTART;TZID=Europe/Berlin:20250610T123000\r\nDURATION:PT1H\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\n"
        "UID:release\r\nSUMMARY:Release day\r\nDTSTART;VALUE=DATE:20250611\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    fuzzing::warmUp(fuzzing::readDeviceFile(preferencesFilePath));
    return 0;
}
