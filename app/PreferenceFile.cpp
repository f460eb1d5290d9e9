#include "PreferenceFile.h"

#include "Command.h"

#include <CoreFoundation/CFNotificationCenter.h>
#include <Foundation/NSPropertyList.h>
#include <platform/Environment.h>

#include <filesystem>

namespace fs = std::filesystem;

Ref<NSMutableDictionary> readPreferences(bool replaceDamaged)
{
    auto preferences = NSMutableDictionary::dictionary();
    const std::string file = platform::resolveDevicePath(preferencesFilePath);
    std::error_code error;
    if (!fs::exists(file, error))
        return preferences;
    Ref<NSObject> root = NSPropertyListSerialization::propertyListWithContentsOfFile(preferencesFilePath);
    auto* stored = dynamicCast<NSDictionary>(root.get());
    if (!stored && !replaceDamaged)
        throw CommandError(file + " is not a property-list dictionary; `dayglass prefs reset` starts it afresh");
    if (stored)
        for (const auto& [key, value] : stored->entries())
            preferences->setObjectForKey(value.get(), key.get());
    return preferences;
}

void writePreferences(const NSDictionary* preferences)
{
    std::string reason;
    if (!NSPropertyListSerialization::writePropertyList(
            preferences, preferencesFilePath, NSPropertyListBinaryFormat_v1_0, &reason))
        throw CommandError("cannot write " + platform::resolveDevicePath(preferencesFilePath) + ": " + reason);
    Ref<NSString> name = NSString::string(preferencesChangedNotification);
    CFNotificationCenterPostNotification(
        CFNotificationCenterGetDarwinNotifyCenter(), name.get(), nullptr, nullptr, true);
}

void storePreference(const PreferenceKey& key, std::string_view text, ValueType type)
{
    Ref<NSMutableDictionary> preferences = readPreferences(false);
    preferences->setObjectForKey(parsePreferenceValue(key, text, type).get(), key.name);
    writePreferences(preferences.get());
}
