// UIScreen: the phone's screen. The host sets its size and scale; the default is
// a 375 x 667 point phone at scale 2.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <objc/runtime.h>
#include <platform/Export.h>

class PLATFORM_EXPORT UIScreen : public objc::Subclass<UIScreen, NSObject> {
public:
    static Class classObject();
    static UIScreen* mainScreen();

    CGRect bounds() const { return bounds_; }
    CGFloat scale() const { return scale_; }
    void setBounds(CGRect bounds) { bounds_ = bounds; }
    void setScale(CGFloat scale);

    UIScreen();

private:
    CGRect bounds_;
    CGFloat scale_;
};
