#include "ListNotes.h"

#include "ExtensionSettings.h"
#include "PreferenceFile.h"

#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <platform/Environment.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// Where the extension finds which calendars to search.
constexpr const char* calendarAppPreferencesPath = "/private/var/mobile/Library/Preferences/com.apple.mobilecal.plist";

// Why the store skips the file; empty when it reads it.
std::string skipReason(const fs::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    if (!stream)
        return std::strerror(errno);
    std::string start(4096, '\0');
    stream.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(stream.gcount()));
    return start.find("BEGIN:VCALENDAR") == std::string::npos ? "it is not an iCalendar file" : "";
}

} // namespace

std::vector<std::string> skippedCalendarNotes(const ListOptions& options)
{
    std::vector<std::string> notes;
    for (const std::string& path : options.calendars) {
        std::error_code error;
        if (!fs::is_regular_file(path, error))
            continue;
        if (const std::string reason = skipReason(path); !reason.empty())
            notes.push_back("skipped " + path + ": " + reason);
    }
    return notes;
}

std::vector<std::string> emptyListNotes(const ListOptions& options)
{
    if (!options.calendarAccessGranted)
        return { "calendar access is denied (--calendar-access denied), so the list shows no events" };
    if (extensionSetting<setting::onlySelectedCalendars>()) {
        if (!NSDictionary::dictionaryWithContentsOfFile(calendarAppPreferencesPath))
            return { "no calendar is chosen: the list searches the calendars the calendar application shows, and "
                + platform::resolveDevicePath(calendarAppPreferencesPath) + " cannot be read" };
    } else if (const Ref<NSArray> list = NSArray::arrayWithContentsOfFile(calendarListFilePath); !list || !list->count())
        return { "no calendar is chosen: onlySelectedCalendars is NO and the calendar list "
            + platform::resolveDevicePath(calendarListFilePath) + " is missing or empty" };
    return {};
}
