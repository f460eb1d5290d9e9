// The status bar of the locked phone: signal dots and the carrier on the left, a
// closed padlock in the middle (the lock screen shows the time large, not here),
// the charge and a battery on the right; mirrored for a language written from
// right to left, with the charge written as the device's locale writes it. White
// on the wallpaper.
#pragma once

#include <UIKit/UILabel.h>
#include <host/Export.h>

class HOST_EXPORT LockScreenStatusBar : public UIView {
public:
    explicit LockScreenStatusBar(CGRect frame);

    void layoutSubviews() override;
    void drawRect(CGRect rect) override;

private:
    NonNullRef<UILabel> carrier_;
    NonNullRef<UILabel> charge_;
    bool rightToLeft_;
};
