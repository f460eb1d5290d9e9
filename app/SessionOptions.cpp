#include "SessionOptions.h"

#include "DeviceChoice.h"
#include "DeviceSession.h"

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

host::Device SessionOptions::boot(const CommonOptions& options) const
{
    applyListEnvironment(list);
    host::Device booted = bootDevice(
        options, deviceModelNamed(device), landscape ? host::Orientation::Landscape : host::Orientation::Portrait);
    if (passcode)
        booted.springBoard().setPasscode(*passcode);
    checkExtensionLoaded(booted);
    applyListOverrides(list);
    return booted;
}
