// What the lock screen shows around its pages: the status bar, the large clock and
// the date under it in the device's language, the page dots and the unlock hint,
// each where the device model puts it. Transparent elsewhere: it lies over the
// wallpaper, under nothing that would hide it.
#pragma once

#include <host/DeviceModel.h>
#include <host/Export.h>
#include <host/LockScreenPageDots.h>
#include <host/LockScreenStatusBar.h>
#include <host/LockScreenStrings.h>

#include <UIKit/UILabel.h>

class HOST_EXPORT LockScreenChrome : public UIView {
public:
    LockScreenChrome(const host::DeviceModel& model, host::Orientation orientation);

    // Places everything for the model's screen in the orientation, and takes its size.
    void setDevice(const host::DeviceModel& model, host::Orientation orientation);
    // The clock and the date for an instant, in the current zone and locale.
    void showTime(double unixTime);
    // The hint at the bottom, in the device's language; shrunk to the screen's
    // width rather than cut.
    void showHint(host::LockScreenHint hint);
    UILabel* hintLabel() const { return unlockHint_.get(); }

private:
    NonNullRef<LockScreenStatusBar> statusBar_;
    NonNullRef<UILabel> clock_;
    NonNullRef<UILabel> date_;
    NonNullRef<LockScreenPageDots> pageDots_;
    NonNullRef<UILabel> unlockHint_;
    host::LockScreenHint hint_ = host::LockScreenHint::Unlock;
};

// The hour and minutes as the lock screen's clock shows them: the locale's own
// hours ("9:41" in en_US, "09:41" in de_DE), without a day-period mark.
HOST_EXPORT std::string lockScreenClockText(double unixTime);
// The weekday, month and day in the locale's order: "Tuesday, March 5",
// "Dienstag, 5. März".
HOST_EXPORT std::string lockScreenDateText(double unixTime);
