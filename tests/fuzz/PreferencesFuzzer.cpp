// The preference file's bytes, as another program may leave them, through
// loadPreferences and into an event table built and drawn with the result, on a
// device with the sample calendars.
#include "FuzzSupport.h"

#include "tweak/EventTablePlacement.h"
#include "tweak/SettingsTable.h"
#include "tweak/TweakSettings.h"

#include <UIKit/UIGraphics.h>
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

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzing::installSampleDevice();
    return 0;
}

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
