// The lock screen as a person sees it, bottom to top: the wallpaper, the chrome
// (status bar, clock, date, page dots, unlock hint), then SpringBoard's own views
// (the notification list and the pages presented on the main page), whose empty
// parts let the layers below show through.
#pragma once

#include <host/Export.h>
#include <host/LockScreenChrome.h>
#include <host/LockScreenWallpaper.h>

#include <UIKit/UIImage.h>

class HOST_EXPORT LockScreenScene : public UIView {
public:
    LockScreenScene(const host::DeviceModel& model, host::Orientation orientation);

    LockScreenWallpaper& wallpaper() { return *wallpaper_; }

    // SpringBoard's root view, over the chrome; nil takes it away.
    UIView* content() const { return content_.get(); }
    void setContent(UIView* content);

    // The screen of the model in the orientation: the scene and its layers take its size.
    void setDevice(const host::DeviceModel& model, host::Orientation orientation);

    // A dark screen is black: the wallpaper and the chrome go. SpringBoard's views
    // are SpringBoard's to show or hide; give no content while the screen is off.
    void setScreenOn(bool on);
    // Unlocked, the clock, date, dots and hint go; the wallpaper stays.
    void setLockScreenShown(bool shown);
    // "Press home to open" while a launch waits for the unlock, instead of
    // "Press home to unlock".
    void setLaunchPending(bool pending);

    // The whole scene drawn at the scale, laid out first.
    Ref<UIImage> snapshot(CGFloat scale);

private:
    NonNullRef<LockScreenWallpaper> wallpaper_;
    NonNullRef<LockScreenChrome> chrome_;
    Ref<UIView> content_;
};
