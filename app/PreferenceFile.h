// The extension's preference file as the settings pane keeps it: read as a
// dictionary, written whole as a binary property list, and announced with the
// change notification after every write.
#pragma once

#include "PreferenceKeys.h"

#include <Foundation/NSDictionary.h>

// The file as a dictionary to change. A missing file is an empty one. A damaged
// file is refused with CommandError, so that changing one key never throws the
// others away, unless every key is to go anyway (`replaceDamaged`).
Ref<NSMutableDictionary> readPreferences(bool replaceDamaged);

// Writes the file and posts the change notification. CommandError when it cannot.
void writePreferences(const NSDictionary* preferences);

// Stores one value, typed from its text as the key or `type` says, keeping every
// other key, then posts the notification.
void storePreference(const PreferenceKey& key, std::string_view text, ValueType type);
