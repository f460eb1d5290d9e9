#include "PreferenceFile.h"

#include "Command.h"

#include <CoreFoundation/CFNotificationCenter.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSPropertyList.h>
#include <Foundation/NSValue.h>
#include <platform/Environment.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

std::string preferencesFile()
{
    return platform::resolveDevicePath(preferencesFilePath);
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

} // namespace

PreferencesLock::PreferencesLock()
{
    const fs::path file = preferencesFile();
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    const std::string path = file.string() + ".lock";
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0 || ::flock(fd_, LOCK_EX) != 0) {
        const int reason = errno;
        if (fd_ >= 0)
            ::close(fd_);
        throw CommandError("cannot lock " + path + ": " + reasonFor(reason));
    }
    removeDeadWritersCopies(file);
}

PreferencesLock::~PreferencesLock()
{
    ::close(fd_);
}

StoredPreferences readPreferences()
{
    StoredPreferences stored;
    const std::string file = preferencesFile();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return stored;
        throw CommandError("cannot read " + file + ": " + reasonFor(errno));
    }
    ::close(fd);
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

namespace {

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

} // namespace

void writePreferences(const NSDictionary* preferences)
{
    writeAndAnnounce(preferences, preferencesFilePath);
}

void writeCalendarList(const std::vector<std::string>& identifiers)
{
    std::vector<Ref<NSObject>> names;
    for (const std::string& identifier : identifiers)
        names.push_back(NSString::string(identifier));
    PreferencesLock lock;
    writeAndAnnounce(NSArray::array(std::move(names)).get(), calendarListFilePath);
}

void storePreference(const PreferenceKey& key, std::string_view text, ValueType type)
{
    const Ref<NSObject> value = parsePreferenceValue(key, text, type);
    PreferencesLock lock;
    Ref<NSMutableDictionary> preferences = readIntactPreferences();
    preferences->setObjectForKey(value.get(), key.name);
    writePreferences(preferences.get());
}
