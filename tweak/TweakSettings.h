// The extension's settings: one process-wide variable per field, filled from the
// preference file by loadPreferences, once at load and again after every
// "com.quarnel.dayglass2.preferencesChanged" notification. Readers use the
// variables directly. Before the first load every field is zero, NO or nil.
#pragma once

#include <CoreFoundation/CFNotificationCenter.h>
#include <objc/RetainedSlot.h>
#include <schema/SettingsTable.h>

// How the extension holds a field of the table's type: an object in a retained
// slot, anything else as it is.
template <typename T> struct SettingVariableOf {
    using Type = T;
};
template <typename T> struct SettingVariableOf<T*> {
    using Type = RetainedSlot<T>;
};
template <SettingKind kind> using SettingVariable = typename SettingVariableOf<SettingType<kind>>::Type;

// The fields, in the order loadPreferences reads them. Colours and the string are
// held in retained slots; a load releases the objects it replaces.
#define DAYGLASS_DECLARE_SETTING(symbol, key, kind, fallback) extern SettingVariable<SettingKind::kind> symbol;
DAYGLASS_SETTINGS(DAYGLASS_DECLARE_SETTING)
#undef DAYGLASS_DECLARE_SETTING

// The settings class (settingsClassName), registered on the first call: every
// field as a class property, for a host that reaches the settings only through
// the runtime. Its setter keeps a new object and releases the one replaced.
Class tweakSettingsClass();

// The Darwin notification the settings pane posts after writing the file. The
// string lives for the whole process.
const NSString* preferencesChangedNotificationName();

// Refills every field from the preference file. A missing or unreadable file, or
// one whose root is not a dictionary, logs "DGL: unable to load preferences." and
// gives every field its default. A value of the wrong kind under a key counts as
// an absent key and is logged once per load.
void loadPreferences();

// Puts every field back as it is before the first load (zero, NO, nil), releasing
// the objects held, so that tests start from the state a fresh process has.
void resetTweakSettings();

// The Darwin observer: reloads the settings, and does nothing else.
void preferencesChangedCallback(
    CFNotificationCenterRef center, void* observer, CFStringRef name, const void* object, CFDictionaryRef userInfo);
