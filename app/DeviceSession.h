// Getting a device ready for a command: the root, the log, and SpringBoard booted
// with the extension loaded.
#pragma once

#include "Command.h"

#include <host/Device.h>

// The device a command runs on without --root or DAYGLASS_ROOT: the sample device
// the build assembled; for an installed command, the user's copy of the installed
// sample device, made on first use, since the installed one is never written.
std::string defaultDeviceRoot();

// The sample device: the installed one, else the one the build assembled. It is
// read, never written.
const std::string& sampleDevice();

// Makes the options' root the device root, without booting SpringBoard.
// UsageError when it is not a folder.
void useDeviceRoot(const CommonOptions& options);

// Boots the device. Extensions come from the root's own DynamicLibraries folder,
// or from the sample device's when the root has none. Every library that failed to
// load is reported on stderr.
// SpringBoard's lock screen starts on the model, held as the orientation says;
// its calendars are kept as `storage` says.
host::Device bootDevice(const CommonOptions& options, const host::DeviceModel& model = host::defaultDeviceModel(),
    host::Orientation orientation = host::Orientation::Portrait, EKCalendarStorage storage = EKCalendarStorage::Memory);

// CommandError when the device did not load Dayglass2.dylib. Once it has, the
// command reaches the extension only through the runtime, by class name.
void checkExtensionLoaded(const host::Device& device);
