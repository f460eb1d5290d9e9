// What the fuzz targets share: a device root of their own for the whole process,
// a pinned clock, zone and locale, and the input cut into parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace fuzzing {

// Runs the target once on the input. Called from LLVMFuzzerInitialize, so that
// what loads on first use (fonts, zones, formatters, the extension) is loaded
// before the first input is timed.
void warmUp(std::string_view input);

// A fresh temporary device root, made the platform's root on the first call and
// removed when the process exits. The host is pinned at the same time: now is
// Tuesday 2025-06-10 09:30 in Berlin, the locale en_US.
const std::filesystem::path& deviceRoot();
// Pins the clock, zone and locale again as deviceRoot did, after an input that
// moved them.
void restoreHost();

// Copies the sample device's files (preferences, calendars, applications) into
// the device root. Call once.
void installSampleDevice();
// Puts the sample device's preference files back as they were installed.
void restoreSamplePreferences();

// Puts the bytes in the file under the device root for the device path, creating
// its folders. Written beside it and renamed over it, as a sync tool does, so
// that every input is a new file to the calendar cache, even within one
// clock tick.
void writeDeviceFile(const std::string& devicePath, std::string_view bytes);

std::string readDeviceFile(const std::string& devicePath);

// Empties a folder under the device root, keeping the folder itself.
void clearDeviceFolder(const std::string& devicePath);

std::string_view asText(const uint8_t* data, std::size_t size);

// The input cut at every occurrence of the separator; at most `limit` parts, the
// last one keeping the rest.
std::vector<std::string_view> splitInput(std::string_view input, std::string_view separator, std::size_t limit);

} // namespace fuzzing
