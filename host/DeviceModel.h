// The devices the simulated SpringBoard runs on, and where iOS 10 puts the parts of
// the lock screen on each: the status bar, the large clock, the date under it and the
// notification area, whose frame is also the list frame SpringBoard suggests to
// whatever shows a list there (`_suggestedListViewFrame`).
//
// Every model is one row of one table; the geometry of both orientations follows
// from the row by the rules in DeviceModel.cpp.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <host/Export.h>

#include <span>
#include <string_view>

namespace host {

enum class Orientation { Portrait, Landscape };

struct DeviceModel {
    // The name a user types ("iphone7") and the one the device shows ("iPhone 7").
    std::string_view name;
    std::string_view displayName;
    // Points, in portrait.
    CGSize portraitSize;
    // Pixels per point of the real screen.
    CGFloat scale;
    // The clock's and the date's type size, in points.
    CGFloat clockFontSize;
    CGFloat dateFontSize;
    // The notification list is never wider than this; a wider screen centres it.
    CGFloat maximumListWidth;
};

// Where the lock screen's parts sit, in screen points.
struct LockScreenLayout {
    CGSize screenSize;
    CGRect statusBar;
    CGRect clock;
    CGRect date;
    // The notification list's frame, suggested to whoever lists there.
    CGRect notificationArea;
    // The page dots and the unlock hint at the bottom.
    CGRect pageIndicator;
    CGRect unlockHint;
};

// Every model, the default first.
HOST_EXPORT std::span<const DeviceModel> deviceModels();
// iPhone 7.
HOST_EXPORT const DeviceModel& defaultDeviceModel();
// The model with this name, or null.
HOST_EXPORT const DeviceModel* findDeviceModel(std::string_view name);

HOST_EXPORT CGSize screenSize(const DeviceModel& model, Orientation orientation);
HOST_EXPORT LockScreenLayout lockScreenLayout(const DeviceModel& model, Orientation orientation);

} // namespace host
