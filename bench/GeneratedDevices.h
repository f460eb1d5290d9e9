// Device roots filled with generated calendars, for the benchmarks of the
// calendar store and of event loading: one per item count, made on first use and
// removed at exit, each with four calendars around `anchor` (one item in twenty
// repeating) that the calendar application shows, and the extension's settings
// listing a week.
#pragma once

#include <filesystem>
#include <map>

namespace bench {

// Tuesday 5 March 2024, 10:00 UTC: "now" on every generated device.
inline constexpr double anchor = 1709632800;

class GeneratedDevices {
public:
    static GeneratedDevices& shared();
    ~GeneratedDevices();

    // The folder holding the device root "device" of `items` items.
    const std::filesystem::path& folderFor(int items);
    // The device root itself, reached through a new path on each call, so that
    // the process's calendar cache reads it as a device it has never seen.
    std::filesystem::path freshPathFor(int items);

private:
    GeneratedDevices() = default;
    std::map<int, std::filesystem::path> folders_;
    int aliases_ = 0;
};

// Makes the root the platform's device, in Berlin, in en_US, at `anchor`.
void useDevice(const std::filesystem::path& root);

} // namespace bench
