// UIKit's string drawing and measuring, laid out by Pango. The NSString methods
// of UIKit are free functions here, the string first:
// `[text drawInRect:rect withFont:font lineBreakMode:mode alignment:alignment]`
// is `NSStringDrawInRect(text, rect, font, mode, alignment)`.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <Foundation/NSString.h>
#include <UIKit/NSParagraphStyle.h>
#include <UIKit/NSText.h>
#include <UIKit/UIFont.h>
#include <platform/Export.h>

#include <string>
#include <string_view>

// The text as one line: its advance width and the font's line height.
PLATFORM_EXPORT CGSize NSStringSizeWithFont(std::string_view text, const UIFont* font);
PLATFORM_EXPORT CGSize NSStringSizeWithFont(const NSString* text, const UIFont* font);

// The text as one line at most `width` wide: the text itself when it fits, else
// its longest start (whole characters, trailing spaces dropped) followed by "…",
// or nothing when not even "…" fits.
PLATFORM_EXPORT std::string NSStringTruncatingTail(std::string_view text, const UIFont* font, CGFloat width);

// Draws the text into the rectangle of the current context in its fill colour,
// starting at the top; returns the size drawn.
// - Wrapping modes break lines at the rectangle's width.
// - Clipping draws each paragraph on one line, cut at the rectangle's edges.
// - Truncating modes draw one line shortened with "…".
// Nothing is drawn outside the rectangle, except that a first line taller than
// the rectangle is drawn whole, as UIKit does.
PLATFORM_EXPORT CGSize NSStringDrawInRect(
    const NSString* text, CGRect rect, const UIFont* font, NSLineBreakMode mode, NSTextAlignment alignment);
PLATFORM_EXPORT CGSize NSStringDrawInRect(
    std::string_view text, CGRect rect, const UIFont* font, NSLineBreakMode mode, NSTextAlignment alignment);
