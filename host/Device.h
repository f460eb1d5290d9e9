// A simulated device: a device root (the phone's file system), the clock, time zone
// and locale, and SpringBoard running on it with the extensions of the device loaded.
#pragma once

#include <EventKit/EKTypes.h>
#include <host/DeviceModel.h>
#include <host/Export.h>
#include <host/SpringBoard.h>
#include <host/SubstrateLoader.h>

#include <memory>

#include <optional>
#include <string>

namespace host {

struct BootOptions {
    // The folder that stands for the phone's file system. It must exist.
    std::string root;
    // Where the extensions come from when the root has no DynamicLibraries folder of
    // its own, so that a bare root of preferences and calendars still runs the
    // installed extension. Empty: nothing is loaded then.
    std::string fallbackExtensionsFolder;
    // Pins of the environment; unset keeps the current ones.
    std::optional<double> now;
    std::optional<std::string> timeZone;
    std::optional<std::string> locale;
    // The hardware SpringBoard's lock screen starts on.
    const DeviceModel* model = &defaultDeviceModel();
    Orientation orientation = Orientation::Portrait;
    // How the calendars are kept: in memory for a device that wakes many
    // times, in the persistent index for a command that looks once.
    EKCalendarStorage calendarStorage = EKCalendarStorage::Memory;
};

class HOST_EXPORT Device {
public:
    // Boots in this order: the device root and the environment, SpringBoard's classes,
    // the installed applications, then the extensions, whose initialisers find
    // everything in place. Throws std::invalid_argument for a root that is not a folder.
    static Device boot(const BootOptions& options);

    // The DynamicLibraries folder the extensions were loaded from.
    const std::string& extensionsFolder() const { return extensionsFolder_; }
    const LoadReport& extensions() const { return extensions_; }
    // The entry of the library with this file name, or null when the folder has none.
    const ExtensionLoad* extension(std::string_view name) const;

    // SpringBoard's lock screen on this device, made on first use (after the
    // extensions loaded, so that their hooks see every controller made) and kept
    // for the device's lifetime.
    SpringBoard& springBoard();

private:
    std::string extensionsFolder_;
    LoadReport extensions_;
    const DeviceModel* model_ = nullptr;
    Orientation orientation_ = Orientation::Portrait;
    std::unique_ptr<SpringBoard> springBoard_;
};

} // namespace host
