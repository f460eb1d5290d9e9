// UIKit's graphics-context stack and off-screen image contexts.
//
// The current context is the top of a per-thread stack. Beginning an image
// context pushes a new bitmap context; ending it pops it again, so every
// begin/end pair and every push/pop pair leaves the stack as it found it.
#pragma once

#include <CoreGraphics/CGContext.h>
#include <UIKit/UIImage.h>
#include <platform/Export.h>

// The context drawing calls go to, or null when the stack is empty.
PLATFORM_EXPORT CGContextRef UIGraphicsGetCurrentContext();
PLATFORM_EXPORT void UIGraphicsPushContext(CGContextRef context);
// Pops the top context; does nothing on an empty stack.
PLATFORM_EXPORT void UIGraphicsPopContext();

// Makes a context current for a scope and pops it on the way out, an exception
// from the drawing included. A null context pushes and pops nothing.
class PLATFORM_EXPORT UIGraphicsContextScope {
public:
    explicit UIGraphicsContextScope(CGContextRef context);
    ~UIGraphicsContextScope();
    UIGraphicsContextScope(const UIGraphicsContextScope&) = delete;
    UIGraphicsContextScope& operator=(const UIGraphicsContextScope&) = delete;

private:
    bool pushed_;
};

// A transparent bitmap context at scale 1.
PLATFORM_EXPORT void UIGraphicsBeginImageContext(CGSize size);
// An opaque context has no alpha channel. A scale of 0 or less is the main screen's.
PLATFORM_EXPORT void UIGraphicsBeginImageContextWithOptions(CGSize size, BOOL opaque, CGFloat scale);
// A copy of the current context's bitmap, or nil when the current context is not
// an image context.
PLATFORM_EXPORT Ref<UIImage> UIGraphicsGetImageFromCurrentImageContext();
// Pops the current context when it is an image context; otherwise logs and leaves
// the stack alone.
PLATFORM_EXPORT void UIGraphicsEndImageContext();

// An image context for a scope: begun by the constructor and ended by the
// destructor, so that an early return or an exception from the drawing cannot
// leave it on the stack.
class PLATFORM_EXPORT UIGraphicsImageContextScope {
public:
    explicit UIGraphicsImageContextScope(CGSize size, BOOL opaque = NO, CGFloat scale = 1);
    ~UIGraphicsImageContextScope();
    UIGraphicsImageContextScope(const UIGraphicsImageContextScope&) = delete;
    UIGraphicsImageContextScope& operator=(const UIGraphicsImageContextScope&) = delete;

    // What has been drawn so far, as UIGraphicsGetImageFromCurrentImageContext answers it.
    Ref<UIImage> image() const;
};
