#include "GeneratedDevices.h"
#include "VdirGenerator.h"

#include <Foundation/NSDictionary.h>
#include <Foundation/NSPropertyList.h>
#include <Foundation/NSValue.h>
#include <platform/Environment.h>

namespace fs = std::filesystem;

namespace bench {

GeneratedDevices& GeneratedDevices::shared()
{
    static GeneratedDevices devices;
    return devices;
}

GeneratedDevices::~GeneratedDevices()
{
    std::error_code error;
    for (const auto& [items, folder] : folders_)
        fs::remove_all(folder, error);
}

const fs::path& GeneratedDevices::folderFor(int items)
{
    fs::path& folder = folders_[items];
    if (!folder.empty())
        return folder;
    folder = fs::temp_directory_path() / ("dayglass-bench-" + std::to_string(items));
    fs::remove_all(folder);
    VdirShape shape;
    shape.items = items;
    shape.series = items / 20;
    shape.calendars = 4;
    shape.anchor = static_cast<std::int64_t>(anchor);
    const fs::path device = folder / "device";
    writeVdir((device / "var/mobile/Library/Calendars").string(), shape);
    // The calendar application hides none of them; the lock screen lists a week.
    platform::setDeviceRoot(device.string());
    NSPropertyListSerialization::writePropertyList(NSDictionary::dictionary().get(),
        "/private/var/mobile/Library/Preferences/com.apple.mobilecal.plist", NSPropertyListBinaryFormat_v1_0);
    NSPropertyListSerialization::writePropertyList(
        NSDictionary::dictionary({ { NSString::string("daysToDisplay"), NSNumber::numberWithInteger(7) } }).get(),
        "/var/mobile/Library/Preferences/com.quarnel.dayglass2.plist", NSPropertyListBinaryFormat_v1_0);
    return folder;
}

fs::path GeneratedDevices::freshPathFor(int items)
{
    const fs::path& folder = folderFor(items);
    const fs::path alias = folder / ("alias-" + std::to_string(aliases_++));
    fs::remove(alias);
    fs::create_directory_symlink(folder / "device", alias);
    return alias;
}

void useDevice(const fs::path& root)
{
    platform::setDeviceRoot(root.string());
    platform::setCurrentTimeZoneIdentifier("Europe/Berlin");
    platform::setCurrentLocaleIdentifier("en_US");
    platform::pinCurrentTime(anchor);
}

} // namespace bench
