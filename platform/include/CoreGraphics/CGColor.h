// CGColor: red, green, blue and alpha components in the device RGB space.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <objc/runtime.h>
#include <platform/Export.h>

class PLATFORM_EXPORT CGColor : public objc::Subclass<CGColor, NSObject> {
public:
    static Class classObject();

    CGColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);

    CGFloat red() const { return red_; }
    CGFloat green() const { return green_; }
    CGFloat blue() const { return blue_; }
    CGFloat alpha() const { return alpha_; }

    // One component as descriptions print it: "1", "0.5", "0.333333".
    static std::string componentText(CGFloat value);

    std::string description() const override;
    bool isEqual(const NSObject* other) const override;

private:
    CGFloat red_, green_, blue_, alpha_;
};

typedef CGColor* CGColorRef;
