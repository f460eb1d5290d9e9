// The Pango side of UIKit's text: one shared context on the platform's own
// fonts, and layouts of one paragraph in a UIFont.
#pragma once

#include <CoreGraphics/CGGeometry.h>

#include <pango/pango.h>

#include <memory>
#include <string>
#include <string_view>

class UIFont;

namespace uikit {

struct GObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, GObjectUnref>;

// The context every measure and every drawing goes through: fonts from the
// repository's fontconfig file, 72 dpi so one point is one pixel, and neither
// metrics nor glyph positions rounded, so that a text measures the same at every
// scale and on every machine; its language is the device's. Main thread only,
// like all of UIKit.
PangoContext* textContext();

// The text in the font, unlimited in width, for the caller to configure.
LayoutPtr makeLayout(std::string_view text, const UIFont& font);

// The text as one line in the font, shaped once and kept: labels measure and
// draw the same few texts on every layout pass. Shared, so callers must not
// change it.
LayoutPtr lineLayout(std::string_view text, const UIFont& font);

// Writes one line to the device's log naming the text and every character of
// it that the layout shows as a box, since no installed font has it; once for
// each text.
void reportUndrawnCharacters(PangoLayout* layout, std::string_view text);

// The layout's logical size (advance widths, line heights) in points.
CGSize layoutSize(PangoLayout* layout);

} // namespace uikit
