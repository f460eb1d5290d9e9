// UIColor: a colour in the grey or the RGB space, with the UIKit presets.
#pragma once

#include <CoreGraphics/CGColor.h>
#include <objc/runtime.h>
#include <platform/Export.h>

class PLATFORM_EXPORT UIColor : public objc::Subclass<UIColor, NSObject> {
public:
    static Class classObject();

    static Ref<UIColor> colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
    static Ref<UIColor> colorWithWhite(CGFloat white, CGFloat alpha);
    static Ref<UIColor> colorWithCGColor(const CGColor* color);

    static Ref<UIColor> blackColor(); // grey 0
    static Ref<UIColor> darkGrayColor(); // grey 1/3
    static Ref<UIColor> lightGrayColor(); // grey 2/3
    static Ref<UIColor> whiteColor(); // grey 1
    static Ref<UIColor> grayColor(); // grey 0.5
    static Ref<UIColor> redColor(); // RGB 1, 0, 0
    static Ref<UIColor> greenColor(); // RGB 0, 1, 0
    static Ref<UIColor> blueColor(); // RGB 0, 0, 1
    static Ref<UIColor> yellowColor(); // RGB 1, 1, 0
    static Ref<UIColor> orangeColor(); // RGB 1, 0.5, 0
    static Ref<UIColor> purpleColor(); // RGB 0.5, 0, 0.5
    static Ref<UIColor> brownColor(); // RGB 0.6, 0.4, 0.2
    static Ref<UIColor> clearColor(); // grey 0, alpha 0

    // The colour in RGB components (a grey g is g, g, g).
    CGFloat red() const { return red_; }
    CGFloat green() const { return green_; }
    CGFloat blue() const { return blue_; }
    CGFloat alpha() const { return alpha_; }
    bool isGrayscale() const { return grayscale_; }
    bool getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const;
    // Answers NO for an RGB colour, as UIKit does.
    bool getWhite(CGFloat* white, CGFloat* alpha) const;

    // The CGColor of the same components, owned by this colour.
    CGColorRef CGColor() const { return cgColor_.get(); }

    // Makes this the fill and stroke colour of the current graphics context.
    void set() const;
    void setFill() const;
    void setStroke() const;

    // "UIExtendedSRGBColorSpace 1 0 0 1" or "UIExtendedGrayColorSpace 0.333333 1".
    std::string description() const override;
    bool isEqual(const NSObject* other) const override;

    UIColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha, bool grayscale);

private:
    CGFloat red_, green_, blue_, alpha_;
    bool grayscale_;
    NonNullRef<::CGColor> cgColor_;
};
