#include "SessionOptions.h"

#include "DeviceChoice.h"
#include "DeviceSession.h"
#include "LockScreenRender.h"

void SessionOptions::addTo(CLI::App& subcommand)
{
    subcommand.add_option("--device", device, "The device model it boots as: iphone7, iphonese, iphone7plus or ipad")
        ->capture_default_str()
        ->check(deviceModelValidator());
    subcommand.add_flag("--landscape", landscape, "Start held sideways");
    subcommand.add_option("--passcode", passcode,
        "The device's passcode: nothing opens from the locked screen before it is entered (unlock CODE)");
    list.addTo(subcommand);
}

SessionOptions::Booted SessionOptions::boot(const CommonOptions& options) const
{
    applyListEnvironment(list);
    Booted booted { bootDevice(options, deviceModelNamed(device),
                        landscape ? host::Orientation::Landscape : host::Orientation::Portrait),
        nullptr };
    if (passcode)
        booted.device.springBoard().setPasscode(*passcode);
    booted.extension = extensionLibrary(booted.device);
    applyListOverrides(booted.extension, list);
    return booted;
}
