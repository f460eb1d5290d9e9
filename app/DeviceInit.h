// Making a device root that works at once: the phone's folders (with "var" a link
// to "private/var"), the extension installed as Substrate loads it, the calendar
// application's preferences, the sample device's applications, no preference file
// (so the extension's defaults apply), and the user's calendars as the device's own.
#pragma once

#include <string>
#include <vector>

struct DeviceInitOptions {
    std::string folder;
    // Folders (vdirs or collections of them) and .ics files, copied in.
    std::vector<std::string> calendars;
    // Make the device in a folder that is not empty.
    bool force = false;
};

// Makes the device from the sample device of the build and prints what it made.
// Nothing outside the folder is written, and no link inside it is written through.
void initDevice(const DeviceInitOptions& options);
