// The codes of what a row shows in front of its texts and of what a swipe on it
// does, as the settings store them.
#pragma once

#include <objc/NSObjCRuntime.h>

// The icon in front of each event row.
enum DGLIconType : NSInteger {
    DGLIconTypeNone = 0,
    DGLIconTypeDot = 1,
    DGLIconTypeLargeDot = 2,
    DGLIconTypeCalendarPage = 3
};

// What a swipe on an event row does.
enum DGLSwipeAction : NSInteger {
    DGLSwipeActionNone = 0,
    DGLSwipeActionOpenEvent = 1, // the event in the calendar application
    DGLSwipeActionOpenDayElsewhere = 2, // its day in the outside calendar application
    DGLSwipeActionLaunchApplication = 3 // the application of customLaunchAppBundleID
};
