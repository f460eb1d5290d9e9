// The files the settings pane keeps for the extension, the preference file and
// the calendar list: read, written whole as binary property lists under one
// lock, and announced with the change notification after every write.
#pragma once

#include "PreferenceKeys.h"

#include <Foundation/NSDictionary.h>
#include <platform/FileDescriptor.h>

#include <string>
#include <vector>

// The settings pane's list of the calendars to show, when the extension is told
// to show only its own choice: an array of calendar identifiers.
inline constexpr const char* calendarListFilePath
    = "/var/mobile/Library/Preferences/com.quarnel.dayglass2.calendars.plist";

// The preference file's path on this machine, under the device root.
std::string preferencesFile();

// Serialises the read-modify-write of every change to either file: an advisory
// lock on a file beside the preference file, held while the lock lives, so that
// concurrent changes all stay. The files themselves are still replaced by an
// atomic rename, so readers never see half of one. Taking the lock also removes
// the temporary copies that writers killed mid-write left beside them.
class PreferencesLock {
public:
    PreferencesLock();

private:
    platform::FileDescriptor fd_;
};

// The file as it is on disk: missing (an empty dictionary), a dictionary, or
// damaged. A file that cannot be read at all is a CommandError: nothing may be
// decided about keys that cannot be seen.
struct StoredPreferences {
    Ref<NSMutableDictionary> values = NSMutableDictionary::dictionary();
    bool damaged = false;
};
StoredPreferences readPreferences();

// The stored dictionary; a damaged file is refused with CommandError, so that
// changing one key never throws the others away.
Ref<NSMutableDictionary> readIntactPreferences();

// Why the extension cannot take its settings from the file, as one sentence that
// ends saying the defaults apply; empty when it can, or when there is no file.
std::string preferencesProblem();

// Writes the file and posts the change notification. CommandError when it cannot.
void writePreferences(const NSDictionary* preferences);

// Stores one value, typed from its text as the key or `type` says, keeping every
// other key, under the lock, then posts the notification.
void storePreference(const PreferenceKey& key, std::string_view text, ValueType type);

// The calendar list's path on this machine, under the device root.
std::string calendarListFile();

// The identifiers the calendar list names, in its order; none when there is no
// file. CommandError when it cannot be read or is not an array.
std::vector<std::string> readCalendarList();

// Writes the calendar list whole, the identifiers in order, as the settings pane
// does (under the lock, replaced by an atomic rename), then posts the change
// notification. CommandError when it cannot.
void writeCalendarList(const std::vector<std::string>& identifiers);

// Adds the identifiers that the list lacks at its end (select), or removes every
// entry naming one of them (deselect), keeping every other entry where it is,
// under the lock; writes and posts the notification only when the list changed.
// Answers the identifiers that changed it, in the order given.
enum class CalendarListChange { Select, Deselect };
std::vector<std::string> changeCalendarList(CalendarListChange change, const std::vector<std::string>& identifiers);
