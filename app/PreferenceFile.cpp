#include "PreferenceFile.h"

#include "Command.h"

#include <CoreFoundation/CFNotificationCenter.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSPropertyList.h>
#include <platform/Environment.h>
#include <platform/FileDescriptor.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

std::string preferencesFile()
{
    return platform::resolveDevicePath(preferencesFilePath);
}

std::string calendarListFile()
{
    return platform::resolveDevicePath(calendarListFilePath);
}

namespace {

// A writer killed between making its temporary copy and renaming it over the file
// leaves the copy behind ("." + the file's name + six characters). Under the lock
// no other writer is at work, so every such copy is a dead writer's.
void removeDeadWritersCopies(const fs::path& file)
{
    const std::string prefix = "." + file.filename().string() + ".";
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(file.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            fs::remove(entry.path(), error);
    }
}

// Whether the file is there to be read: false when it is missing, a CommandError
// when it cannot be read. A FIFO or device is refused without waiting on it.
bool isThere(const std::string& file)
{
    const platform::FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info { };
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        if (errno == ENOENT)
            return false;
        throw CommandError("cannot read " + file + ": " + reasonFor(errno));
    }
    if (!S_ISREG(info.st_mode))
        throw CommandError("cannot read " + file + ": it is not a regular file");
    return true;
}

// Writes the property list at the device path and announces the change.
void writeAndAnnounce(const NSObject* root, const char* devicePath)
{
    std::string reason;
    if (!NSPropertyListSerialization::writePropertyList(root, devicePath, NSPropertyListBinaryFormat_v1_0, &reason))
        throw CommandError("cannot write " + platform::resolveDevicePath(devicePath) + ": " + reason);
    Ref<NSString> name = NSString::string(preferencesChangedNotification);
    CFNotificationCenterPostNotification(
        CFNotificationCenterGetDarwinNotifyCenter(), name.get(), nullptr, nullptr, true);
}

// The calendar list's entries as stored, whatever they are; none without a file.
std::vector<Ref<NSObject>> storedCalendarList()
{
    const std::string file = calendarListFile();
    if (!isThere(file))
        return {};
    const Ref<NSObject> root = NSPropertyListSerialization::propertyListWithContentsOfFile(calendarListFilePath);
    const auto* list = dynamicCast<NSArray>(root.get());
    if (!list)
        throw CommandError(file
            + " is not a property-list array of calendar identifiers; remove it to start the "
              "list afresh");
    return list->objects();
}

// Whether a list entry is the identifier.
bool names(const Ref<NSObject>& entry, const std::string& identifier)
{
    const auto* text = dynamicCast<NSString>(entry.get());
    return text && text->UTF8String() == identifier;
}

} // namespace

PreferencesLock::PreferencesLock()
{
    const fs::path file = preferencesFile();
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    const std::string path = file.string() + ".lock";
    fd_.reset(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (fd_.get() < 0 || ::flock(fd_.get(), LOCK_EX) != 0)
        throw CommandError("cannot lock " + path + ": " + reasonFor(errno));
    removeDeadWritersCopies(file);
    removeDeadWritersCopies(calendarListFile());
}

StoredPreferences readPreferences()
{
    StoredPreferences stored;
    if (!isThere(preferencesFile()))
        return stored;
    Ref<NSObject> root = NSPropertyListSerialization::propertyListWithContentsOfFile(preferencesFilePath);
    if (auto* dictionary = dynamicCast<NSDictionary>(root.get()))
        for (const auto& [key, value] : dictionary->entries())
            stored.values->setObjectForKey(value.get(), key.get());
    else
        stored.damaged = true;
    return stored;
}

Ref<NSMutableDictionary> readIntactPreferences()
{
    StoredPreferences stored = readPreferences();
    if (stored.damaged)
        throw CommandError(
            preferencesFile() + " is not a property-list dictionary; `dayglass prefs reset` starts it afresh");
    return stored.values;
}

std::string preferencesProblem()
{
    try {
        if (!readPreferences().damaged)
            return {};
    } catch (const CommandError& error) {
        return std::string(error.what()) + "; the extension uses its defaults";
    }
    return preferencesFile()
        + " is not a property-list dictionary; the extension uses its defaults (`dayglass prefs reset` starts it "
          "afresh)";
}

void writePreferences(const NSDictionary* preferences)
{
    writeAndAnnounce(preferences, preferencesFilePath);
}

void storePreference(const PreferenceKey& key, std::string_view text, ValueType type)
{
    const Ref<NSObject> value = parsePreferenceValue(key, text, type);
    PreferencesLock lock;
    Ref<NSMutableDictionary> preferences = readIntactPreferences();
    preferences->setObjectForKey(value.get(), key.name);
    writePreferences(preferences.get());
}

std::vector<std::string> readCalendarList()
{
    std::vector<std::string> identifiers;
    for (const Ref<NSObject>& entry : storedCalendarList())
        if (const auto* identifier = dynamicCast<NSString>(entry.get()))
            identifiers.push_back(identifier->UTF8String());
    return identifiers;
}

void writeCalendarList(const std::vector<std::string>& identifiers)
{
    std::vector<Ref<NSObject>> entries;
    for (const std::string& identifier : identifiers)
        entries.push_back(NSString::string(identifier));
    PreferencesLock lock;
    writeAndAnnounce(NSArray::array(std::move(entries)).get(), calendarListFilePath);
}

std::vector<std::string> changeCalendarList(CalendarListChange change, const std::vector<std::string>& identifiers)
{
    PreferencesLock lock;
    std::vector<Ref<NSObject>> entries = storedCalendarList();
    std::vector<std::string> changed;
    for (const std::string& identifier : identifiers) {
        const auto namesIdentifier = [&identifier](const Ref<NSObject>& entry) { return names(entry, identifier); };
        bool changes = false;
        if (change == CalendarListChange::Deselect) {
            changes = std::erase_if(entries, namesIdentifier) > 0;
        } else if (std::none_of(entries.begin(), entries.end(), namesIdentifier)) {
            entries.push_back(NSString::string(identifier));
            changes = true;
        }
        if (changes)
            changed.push_back(identifier);
    }
    if (!changed.empty())
        writeAndAnnounce(NSArray::array(std::move(entries)).get(), calendarListFilePath);
    return changed;
}
