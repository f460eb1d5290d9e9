#include "CalendarLocations.h"

#include "CalendarIdentifier.h"
#include "StandardInput.h"

#include <Foundation/NSLog.h>
#include <platform/Environment.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace eventkit {
namespace {

constexpr const char* deviceCalendarsFolder = "/var/mobile/Library/Calendars";

std::vector<fs::path> subfolders(const fs::path& folder)
{
    std::vector<fs::path> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && name.front() != '.' && entry.is_directory(error))
            found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// A folder is one calendar when it holds items or a calendar's own files;
// those are looked for first, which spares listing a large folder. One that
// cannot be listed is taken for a calendar, which then says why it is empty.
bool isCalendarFolder(const fs::path& folder)
{
    std::error_code error;
    if (fs::exists(folder / "displayname", error) || fs::exists(folder / "color", error))
        return true;
    const fs::directory_iterator entries(folder, error);
    if (error)
        return true;
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name == "displayname" || name == "color" || isItemName(name))
            return true;
    }
    return false;
}

std::string realPathOf(const fs::path& path)
{
    std::error_code error;
    const fs::path real = fs::canonical(path, error);
    return error ? path.string() : real.string();
}

// Whether the calendar folder `folder` lists the file that the calendar `file`
// is, as an item of its own: the file lies in it (as named, or once its links
// are resolved), under an item's name.
bool holdsItem(const CalendarLocation& folder, const CalendarLocation& file)
{
    if (folder.kind != CalendarSource::Kind::Folder || file.kind != CalendarSource::Kind::File)
        return false;
    const fs::path named(file.path);
    const fs::path real(file.realPath);
    return (realPathOf(named.parent_path()) == folder.realPath && isItemName(named.filename().string()))
        || (real.parent_path() == folder.realPath && isItemName(real.filename().string()));
}

CalendarLocation hostLocation(const fs::path& place, CalendarSource::Kind kind)
{
    const std::string title = kind == CalendarSource::Kind::File ? place.stem().string() : place.filename().string();
    return { place.string(), realPathOf(place), kind, nameBasedIdentifier(hostCalendarName(place.string())), title };
}

} // namespace

std::string CalendarLocations::deviceFolder()
{
    return platform::resolveDevicePath(deviceCalendarsFolder);
}

std::string CalendarLocations::normalised(const std::string& path)
{
    if (path == standardInputName)
        return path;
    std::error_code error;
    std::string text = fs::absolute(path, error).lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

std::vector<CalendarLocation> CalendarLocations::listDevice(const std::string& path) const
{
    std::vector<CalendarLocation> found;
    for (const fs::path& folder : subfolders(path)) {
        const std::string name = folder.filename().string();
        found.push_back({ folder.string(), realPathOf(folder), CalendarSource::Kind::Folder,
            nameBasedIdentifier(deviceCalendarName(name)), name });
    }
    return found;
}

std::vector<CalendarLocation> CalendarLocations::listHost(const std::string& path)
{
    if (path == standardInputName)
        return listStandardInput();
    std::error_code error;
    const auto status = fs::status(path, error);
    if (fs::is_regular_file(status))
        return { hostLocation(path, CalendarSource::Kind::File) };
    if (!fs::is_directory(status)) {
        if (reportedMissing_.insert(path).second)
            NSLog("EventKit: no calendar file or folder at %s", path.c_str());
        return {};
    }
    reportedMissing_.erase(path);
    if (isCalendarFolder(path))
        return { hostLocation(path, CalendarSource::Kind::Folder) };
    std::vector<CalendarLocation> found;
    for (const fs::path& folder : subfolders(path))
        found.push_back(hostLocation(folder, CalendarSource::Kind::Folder));
    return found;
}

// Standard input's copy, known by a name of its own that stays the same from
// one process to the next.
std::vector<CalendarLocation> CalendarLocations::listStandardInput()
{
    const std::string& copy = standardInputCopy();
    if (copy.empty())
        return {};
    CalendarLocation location = hostLocation(copy, CalendarSource::Kind::File);
    location.identifier = nameBasedIdentifier(hostCalendarName(standardInputName));
    location.indexed = false;
    return { location };
}

void CalendarLocations::addNew(std::vector<CalendarLocation>& into, const std::vector<CalendarLocation>& found)
{
    for (const CalendarLocation& location : found) {
        const bool held = std::any_of(into.begin(), into.end(), [&](const CalendarLocation& other) {
            return other.realPath == location.realPath || holdsItem(other, location);
        });
        if (held)
            continue;
        std::erase_if(into, [&](const CalendarLocation& other) { return holdsItem(location, other); });
        into.push_back(location);
    }
}

} // namespace eventkit
