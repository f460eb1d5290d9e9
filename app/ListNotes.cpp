#include "ListNotes.h"

#include "ExtensionSettings.h"
#include "PreferenceFile.h"

#include <EventKit/EKEventStore.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <platform/Environment.h>

#include <cstdio>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

// Where the extension finds which calendars to search.
constexpr const char* calendarAppPreferencesPath = "/private/var/mobile/Library/Preferences/com.apple.mobilecal.plist";

// Files named one by one in each folder before the rest are counted.
constexpr std::size_t namedPerFolder = 3;

} // namespace

std::vector<std::string> skippedCalendarNotes()
{
    std::vector<std::string> notes;
    std::map<std::string, std::size_t> perFolder;
    std::vector<std::string> folders; // in the order met
    for (const EKSkippedCalendarFile& file : EKEventStore::skippedCalendarFiles()) {
        const std::string folder = fs::path(file.path).parent_path().string();
        const std::size_t count = ++perFolder[folder];
        if (count == 1)
            folders.push_back(folder);
        if (count <= namedPerFolder)
            notes.push_back("skipped " + file.path + ": " + sentenceRest(file.reason));
    }
    for (const std::string& folder : folders) {
        if (const std::size_t count = perFolder[folder]; count > namedPerFolder)
            notes.push_back("skipped " + std::to_string(count - namedPerFolder) + " more files in " + folder);
    }
    return notes;
}

void printNote(const std::string& note)
{
    std::fprintf(stderr, "dayglass: note: %s\n", note.c_str());
}

void printNotes(const std::vector<std::string>& notes)
{
    for (const std::string& note : notes)
        printNote(note);
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
