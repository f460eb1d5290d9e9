// UIFont: a named face at a size. Each iOS font name resolves to a Debian face
// through the platform's own fontconfig file (platform/fonts), so text measures
// the same on every machine; sizes are in points and one point draws as one pixel
// at scale 1.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <Foundation/NSString.h>
#include <platform/Export.h>
#include <platform/GraphicsHandles.h>

#include <string_view>

class PLATFORM_EXPORT UIFont : public objc::Subclass<UIFont, NSObject> {
public:
    static Class classObject();

    // Nil for a name the platform has no face for. Known names: "HelveticaNeue",
    // "HelveticaNeue-Light", the system font's ".SFUIText" and the lock-screen
    // clock's ".SFUIDisplay-Light".
    static Ref<UIFont> fontWithName(std::string_view name, CGFloat size);
    static Ref<UIFont> fontWithName(const NSString* name, CGFloat size);
    static Ref<UIFont> systemFontOfSize(CGFloat size);
    Ref<UIFont> fontWithSize(CGFloat size) const;

    const NSString* fontName() const { return name_.get(); }
    CGFloat pointSize() const { return pointSize_; }
    // The face's vertical metrics at this size: ascender above the baseline
    // (positive), descender below it (negative), and one line's height, which is
    // what a line of text in this font measures.
    CGFloat ascender() const;
    CGFloat descender() const;
    CGFloat lineHeight() const;

    // The Debian face this font draws with, as "Family Style" ("Roboto Light").
    std::string faceName() const;

    // The Pango description of the face at this size, for the platform's text code.
    const PangoFontDescription* pangoDescription() const { return description_.get(); }

    // "<UIFont: font-family: "HelveticaNeue"; font-size: 13.00pt>"
    std::string description() const override;
    bool isEqual(const NSObject* other) const override;

    UIFont(NonNullRef<NSString> name, CGFloat pointSize);
    ~UIFont() override;

private:
    void loadMetrics() const;

    NonNullRef<NSString> name_;
    CGFloat pointSize_;
    platform::PangoFontDescriptionHandle description_;
    mutable bool metricsLoaded_ = false;
    mutable CGFloat ascender_ = 0;
    mutable CGFloat descender_ = 0;
};
