#include <host/Device.h>

#include <EventKit/EKEventStore.h>
#include <host/SBApplicationController.h>
#include <host/SpringBoard.h>
#include <platform/Environment.h>

#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace host {
namespace {

void applyEnvironment(const BootOptions& options)
{
    platform::setDeviceRoot(options.root);
    EKEventStore::setCalendarStorage(options.calendarStorage);
    if (options.now)
        platform::pinCurrentTime(options.now);
    if (options.timeZone)
        platform::setCurrentTimeZoneIdentifier(*options.timeZone);
    if (options.locale)
        platform::setCurrentLocaleIdentifier(*options.locale);
}

std::string extensionsFolderFor(const BootOptions& options)
{
    const fs::path own = fs::path(options.root) / fs::path(dynamicLibrariesDevicePath).relative_path();
    std::error_code error;
    if (fs::is_directory(own, error) || options.fallbackExtensionsFolder.empty())
        return own.string();
    return options.fallbackExtensionsFolder;
}

} // namespace

Device Device::boot(const BootOptions& options)
{
    std::error_code error;
    if (!fs::is_directory(options.root, error))
        throw std::invalid_argument("no device root at " + options.root);
    applyEnvironment(options);
    registerSpringBoardClasses();
    SBApplicationController::sharedInstance()->reloadApplications();

    Device device;
    device.extensionsFolder_ = extensionsFolderFor(options);
    device.extensions_ = loadExtensions(device.extensionsFolder_);
    device.model_ = options.model ? options.model : &defaultDeviceModel();
    device.orientation_ = options.orientation;
    return device;
}

const ExtensionLoad* Device::extension(std::string_view name) const
{
    for (const ExtensionLoad& load : extensions_)
        if (load.name == name)
            return &load;
    return nullptr;
}

SpringBoard& Device::springBoard()
{
    if (!springBoard_)
        springBoard_ = std::make_unique<SpringBoard>(*model_, orientation_);
    return *springBoard_;
}

} // namespace host
