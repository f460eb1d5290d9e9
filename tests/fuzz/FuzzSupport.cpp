#include "FuzzSupport.h"

#include <platform/Environment.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace fuzzing {

namespace {

// 2025-06-10 07:30:00 UTC.
constexpr double pinnedNow = 1'749'540'600;

fs::path makeRoot()
{
    std::string pattern = (fs::temp_directory_path() / "dayglass-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary device root");
    return pattern;
}

void removeRoot()
{
    std::error_code error;
    fs::remove_all(deviceRoot(), error);
}

fs::path deviceFile(const std::string& devicePath)
{
    return deviceRoot() / fs::path(devicePath).relative_path();
}

} // namespace

const fs::path& deviceRoot()
{
    static const fs::path root = [] {
        fs::path made = makeRoot();
        platform::setDeviceRoot(made.string());
        restoreHost();
        std::atexit(removeRoot);
        return made;
    }();
    return root;
}

void restoreHost()
{
    platform::pinCurrentTime(pinnedNow);
    platform::setCurrentTimeZoneIdentifier("Europe/Berlin");
    platform::setCurrentLocaleIdentifier("en_US");
}

void installSampleDevice()
{
    fs::copy(
        DAYGLASS_SAMPLE_DEVICE_SOURCE, deviceRoot(), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
}

void restoreSamplePreferences()
{
    const fs::path preferences = "private/var/mobile/Library/Preferences";
    fs::remove_all(deviceRoot() / preferences);
    fs::copy(
        fs::path(DAYGLASS_SAMPLE_DEVICE_SOURCE) / preferences, deviceRoot() / preferences, fs::copy_options::recursive);
}

void writeDeviceFile(const std::string& devicePath, std::string_view bytes)
{
    const fs::path file = deviceFile(devicePath);
    fs::create_directories(file.parent_path());
    const fs::path written = file.parent_path() / ".incoming";
    std::ofstream(written, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    fs::rename(written, file);
}

std::string readDeviceFile(const std::string& devicePath)
{
    std::ifstream file(deviceFile(devicePath), std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

void clearDeviceFolder(const std::string& devicePath)
{
    const fs::path folder = deviceFile(devicePath);
    fs::create_directories(folder);
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        fs::remove_all(entry.path());
}

void warmUp(std::string_view input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

std::string_view asText(const uint8_t* data, std::size_t size)
{
    return { reinterpret_cast<const char*>(data), size };
}

std::vector<std::string_view> splitInput(std::string_view input, std::string_view separator, std::size_t limit)
{
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < limit) {
        const std::size_t at = input.find(separator);
        if (at == std::string_view::npos)
            break;
        parts.push_back(input.substr(0, at));
        input.remove_prefix(at + separator.size());
    }
    parts.push_back(input);
    return parts;
}

} // namespace fuzzing
