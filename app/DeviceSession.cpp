#include "DeviceSession.h"

#include <platform/Environment.h>
#include <platform/Log.h>

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr const char* extensionName = "Dayglass2.dylib";

std::string sampleExtensionsFolder()
{
    return (fs::path(DAYGLASS_SAMPLE_DEVICE) / fs::path(host::dynamicLibrariesDevicePath).relative_path()).string();
}

void requireFolder(const std::string& root)
{
    std::error_code error;
    if (!fs::is_directory(root, error))
        throw CommandError("no device root at " + root + " (give an existing folder with --root)");
}

} // namespace

std::string defaultDeviceRoot()
{
    return DAYGLASS_SAMPLE_DEVICE;
}

void useDeviceRoot(const CommonOptions& options)
{
    requireFolder(options.root);
    platform::setLogEchoToStderr(options.log);
    platform::setDeviceRoot(options.root);
}

host::Device bootDevice(const CommonOptions& options, const host::DeviceModel& model, host::Orientation orientation,
    EKCalendarStorage storage)
{
    requireFolder(options.root);
    platform::setLogEchoToStderr(options.log);
    host::Device device = host::Device::boot({ .root = options.root,
        .fallbackExtensionsFolder = sampleExtensionsFolder(),
        .model = &model,
        .orientation = orientation,
        .calendarStorage = storage });
    for (const host::ExtensionLoad& load : device.extensions())
        // Dayglass2's own failure is the command's error, reported once by checkExtensionLoaded.
        if (load.outcome == host::ExtensionLoad::Outcome::Failed && load.name != extensionName)
            std::fprintf(stderr, "dayglass: warning: %s did not load: %s\n", load.name.c_str(), load.detail.c_str());
    return device;
}

void checkExtensionLoaded(const host::Device& device)
{
    const host::ExtensionLoad* load = device.extension(extensionName);
    if (!load)
        throw CommandError(std::string(extensionName) + " is not installed in " + device.extensionsFolder()
            + " (build the project, or install it there)");
    if (load->outcome != host::ExtensionLoad::Outcome::Loaded)
        throw CommandError(std::string(extensionName) + " was not loaded: " + load->detail);
}
