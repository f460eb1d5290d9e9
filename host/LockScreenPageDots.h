// The page dots at the bottom of the lock screen: the widgets page to the left, the
// main page, the camera to the right; the page shown is the solid dot.
#pragma once

#include <UIKit/UIView.h>
#include <host/Export.h>

class HOST_EXPORT LockScreenPageDots : public UIView {
public:
    LockScreenPageDots(CGRect frame, int pages, int current);

    void drawRect(CGRect rect) override;

private:
    int pages_;
    int current_;
};
