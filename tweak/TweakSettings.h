// The extension's settings: one process-wide variable per field, filled from the
// preference file by loadPreferences, once at load and again after every
// "com.quarnel.dayglass2.preferencesChanged" notification. Readers use the
// variables directly. Before the first load every field is zero, NO or nil.
#pragma once

#include <CoreFoundation/CFNotificationCenter.h>
#include <Foundation/NSString.h>
#include <UIKit/UIColor.h>

// What a swipe on an event row does.
enum DGLSwipeAction : NSInteger {
    DGLSwipeActionNone = 0,
    DGLSwipeActionOpenEvent = 1, // the event in the calendar application
    DGLSwipeActionOpenDayElsewhere = 2, // its day in the outside calendar application
    DGLSwipeActionLaunchApplication = 3 // the application of customLaunchAppBundleID
};

// The icon in front of each event row.
enum DGLIconType : NSInteger {
    DGLIconTypeNone = 0,
    DGLIconTypeDot = 1,
    DGLIconTypeLargeDot = 2,
    DGLIconTypeCalendarPage = 3
};

// The fields, in the order loadPreferences reads them. Unmangled, so that a host can
// also find them by name in the loaded library. Colours and the string are strong
// references; a load releases the objects it replaces.
extern "C" {
extern BOOL groupByDays;
extern BOOL customLSTimeoutEnabled;
extern NSInteger customLSTimeout;
extern BOOL headerIsUppercase;
extern UIColor* sectionHeaderBackgroundColor;
extern UIColor* sectionHeaderTextColor;
extern BOOL isEnabled;
extern NSString* customLaunchAppBundleID;
extern BOOL showSeparatorLines;
extern BOOL rightAlignedDate;
extern BOOL onlySelectedCalendars;
extern BOOL displayLocation;
extern BOOL sameHeightRows;
extern NSInteger swipeAction;
extern NSInteger iconType;
extern UIColor* textColor;
extern BOOL titleColorSameAsCalendarColor;
extern UIColor* backgroundColor;
extern NSInteger headerTextSize;
extern NSInteger textSize;
extern UIColor* subtitleTextColor;
extern NSInteger subtitleTextSize;
extern UIColor* dateTextColor;
extern NSInteger dateTextSize;
extern NSInteger daysToDisplay;
extern NSInteger maxEventsToDisplay;
}

inline constexpr const char* preferencesFilePath = "/var/mobile/Library/Preferences/com.quarnel.dayglass2.plist";

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
