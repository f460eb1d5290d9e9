// CALayer: the part of a view's layer the platform models — rounded corners and
// clipping to them. Every UIView has exactly one, made with the view.
#pragma once

#include <CoreGraphics/CGContext.h>
#include <objc/WeakRef.h>
#include <platform/Export.h>

class UIView;

class PLATFORM_EXPORT CALayer : public objc::Subclass<CALayer, NSObject> {
public:
    static Class classObject();

    CGFloat cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(CGFloat radius);
    // Clips the view's subviews (and its own drawing) to its rounded bounds.
    bool masksToBounds() const { return masksToBounds_; }
    void setMasksToBounds(bool masks) { masksToBounds_ = masks; }

    // Draws the layer's view and its subviews with the context's current
    // transform as the view's bounds coordinates.
    void renderInContext(CGContextRef context) const;

    // The view the layer belongs to; nil once it is gone (the view owns the
    // layer, so the layer only watches it).
    UIView* delegate() const;

    explicit CALayer(UIView* view = nullptr);

private:
    WeakRef<UIView> view_;
    CGFloat cornerRadius_ = 0;
    bool masksToBounds_ = false;
};
