#include "DeviceSession.h"

#include "InstalledData.h"
#include "PreferenceFile.h"

#include <platform/Environment.h>
#include <platform/Log.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

const std::string& sampleDevice()
{
    static const std::string installed = installedDataFolder("device");
    static const std::string device = installed.empty() ? std::string(DAYGLASS_SAMPLE_DEVICE) : installed;
    return device;
}

namespace {

constexpr const char* extensionName = "Dayglass2.dylib";

std::string sampleExtensionsFolder()
{
    return (fs::path(sampleDevice()) / fs::path(host::dynamicLibrariesDevicePath).relative_path()).string();
}

// Where an installed command keeps the user's own device: $XDG_DATA_HOME/dayglass/device,
// else ~/.local/share/dayglass/device.
fs::path userDevice()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (data && data[0] == '/')
        return fs::path(data) / "dayglass" / "device";
    if (home && home[0] == '/')
        return fs::path(home) / ".local" / "share" / "dayglass" / "device";
    throw CommandError("neither XDG_DATA_HOME nor HOME says where your device may be kept (give one with --root)");
}

// Copies the installed sample device to `device`, less its extensions, which
// stay the installed ones. The copy is made beside it and renamed into place,
// so that two first runs at once never see half of it.
void copySampleDevice(const fs::path& device)
{
    std::error_code error;
    fs::create_directories(device.parent_path(), error);
    const fs::path partial = device.string() + ".partial-" + std::to_string(::getpid());
    fs::copy(sampleDevice(), partial, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    if (!error)
        fs::remove_all(partial / fs::path(host::dynamicLibrariesDevicePath).relative_path().parent_path(), error);
    if (!error)
        fs::rename(partial, device, error);
    if (error && !fs::is_directory(device)) {
        fs::remove_all(partial, error);
        throw CommandError("cannot make your device at " + device.string() + ": " + error.message()
            + " (give another folder with --root)");
    }
    fs::remove_all(partial, error);
    std::fprintf(stderr, "dayglass: note: made your device at %s from the installed sample device\n", device.c_str());
}

void requireFolder(const std::string& root)
{
    std::error_code error;
    if (!fs::is_directory(root, error))
        throw UsageError("no device root at " + root + " (give an existing folder with --root)");
}

} // namespace

std::string defaultDeviceRoot()
{
    // The installed sample is never changed: the command works on the user's copy.
    if (installedDataFolder("device").empty())
        return DAYGLASS_SAMPLE_DEVICE;
    const fs::path device = userDevice();
    std::error_code error;
    if (!fs::exists(device, error))
        copySampleDevice(device);
    return device.string();
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
    if (const std::string problem = preferencesProblem(); !problem.empty())
        std::fprintf(stderr, "dayglass: note: %s\n", problem.c_str());
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
