#include <UIKit/UIStringDrawing.h>

#include "TextEngine.h"

#include <CoreGraphics/CGContext.h>
#include <UIKit/UIGraphics.h>

#include <pango/pangocairo.h>

#include <algorithm>
#include <vector>

namespace {

constexpr std::string_view ellipsis = "\u2026";

// Byte offsets at which the text may be cut without splitting a character.
std::vector<std::size_t> cutPositions(PangoLayout* layout, std::string_view text)
{
    int count = 0;
    const PangoLogAttr* attributes = pango_layout_get_log_attrs_readonly(layout, &count);
    std::vector<std::size_t> cuts;
    const char* start = text.data();
    const char* end = start + text.size();
    int index = 0;
    for (const char* p = start; p < end && index < count; p = g_utf8_next_char(p), ++index) {
        if (attributes[index].is_cursor_position)
            cuts.push_back(static_cast<std::size_t>(p - start));
    }
    return cuts;
}

// The end of the text kept before the ellipsis: the cut, less trailing blanks.
std::size_t keptEnd(std::string_view text, std::size_t cut)
{
    while (cut > 0 && (text[cut - 1] == ' ' || text[cut - 1] == '\t'))
        --cut;
    return cut;
}

std::string withEllipsis(std::string_view text, std::size_t cut)
{
    return std::string(text.substr(0, keptEnd(text, cut))) + std::string(ellipsis);
}

CGFloat lineWidth(std::string_view text, const UIFont& font)
{
    return uikit::layoutSize(uikit::lineLayout(text, font).get()).width;
}

double alignmentFactor(NSTextAlignment alignment)
{
    switch (alignment) {
    case NSTextAlignmentCenter:
        return 0.5;
    case NSTextAlignmentRight:
        return 1;
    default:
        return 0;
    }
}

PangoAlignment pangoAlignment(NSTextAlignment alignment)
{
    switch (alignment) {
    case NSTextAlignmentCenter:
        return PANGO_ALIGN_CENTER;
    case NSTextAlignmentRight:
        return PANGO_ALIGN_RIGHT;
    default:
        return PANGO_ALIGN_LEFT;
    }
}

bool wraps(NSLineBreakMode mode)
{
    return mode == NSLineBreakByWordWrapping || mode == NSLineBreakByCharWrapping;
}

// The layout as the mode shows it in a box of the given width.
uikit::LayoutPtr layoutForMode(
    std::string_view text, const UIFont& font, CGFloat width, NSLineBreakMode mode, NSTextAlignment alignment)
{
    if (mode == NSLineBreakByTruncatingTail)
        return uikit::lineLayout(NSStringTruncatingTail(text, &font, width), font);
    if (mode == NSLineBreakByClipping && text.find_first_of("\r\n") == std::string_view::npos)
        return uikit::lineLayout(text, font);

    uikit::LayoutPtr layout = uikit::makeLayout(text, font);
    pango_layout_set_alignment(layout.get(), pangoAlignment(alignment));
    pango_layout_set_justify(layout.get(), alignment == NSTextAlignmentJustified);
    if (wraps(mode)) {
        pango_layout_set_width(layout.get(), static_cast<int>(width * PANGO_SCALE));
        pango_layout_set_wrap(layout.get(), mode == NSLineBreakByCharWrapping ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR);
    } else if (mode != NSLineBreakByClipping) {
        pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
        pango_layout_set_width(layout.get(), static_cast<int>(width * PANGO_SCALE));
        pango_layout_set_ellipsize(
            layout.get(), mode == NSLineBreakByTruncatingHead ? PANGO_ELLIPSIZE_START : PANGO_ELLIPSIZE_MIDDLE);
    }
    return layout;
}

CGFloat firstLineHeight(PangoLayout* layout)
{
    PangoRectangle logical;
    pango_layout_line_get_extents(pango_layout_get_line_readonly(layout, 0), nullptr, &logical);
    return static_cast<CGFloat>(logical.height) / PANGO_SCALE;
}

} // namespace

CGSize NSStringSizeWithFont(std::string_view text, const UIFont* font)
{
    if (!font)
        return CGSizeZero;
    return uikit::layoutSize(uikit::lineLayout(text, *font).get());
}

CGSize NSStringSizeWithFont(const NSString* text, const UIFont* font)
{
    return text ? NSStringSizeWithFont(std::string_view(text->UTF8String()), font) : CGSizeZero;
}

std::string NSStringTruncatingTail(std::string_view text, const UIFont* font, CGFloat width)
{
    if (!font)
        return {};
    uikit::LayoutPtr layout = uikit::lineLayout(text, *font);
    if (uikit::layoutSize(layout.get()).width <= width)
        return std::string(text);

    // A first guess from the glyph positions of the whole line, settled by
    // measuring the candidates themselves, since shaping across the cut
    // (kerning into the ellipsis) can move the edge a little.
    const std::vector<std::size_t> cuts = cutPositions(layout.get(), text);
    const CGFloat ellipsisWidth = lineWidth(ellipsis, *font);
    auto estimateFits = [&](std::size_t cut) {
        PangoRectangle position;
        pango_layout_index_to_pos(layout.get(), static_cast<int>(keptEnd(text, cut)), &position);
        return static_cast<CGFloat>(position.x) / PANGO_SCALE + ellipsisWidth <= width;
    };
    auto fits = [&](std::size_t index) { return lineWidth(withEllipsis(text, cuts[index]), *font) <= width; };
    auto kept = static_cast<std::size_t>(std::partition_point(cuts.begin(), cuts.end(), estimateFits) - cuts.begin());
    while (kept > 0 && !fits(kept - 1))
        --kept;
    while (kept < cuts.size() && fits(kept))
        ++kept;
    return kept == 0 ? std::string() : withEllipsis(text, cuts[kept - 1]);
}

CGSize NSStringDrawInRect(
    std::string_view text, CGRect rect, const UIFont* font, NSLineBreakMode mode, NSTextAlignment alignment)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context || !font || CGRectIsEmpty(rect))
        return CGSizeZero;
    uikit::LayoutPtr layout = layoutForMode(text, *font, rect.size.width, mode, alignment);
    uikit::reportUndrawnCharacters(layout.get(), text);
    const CGSize size = uikit::layoutSize(layout.get());
    const CGFloat height = std::max(rect.size.height, firstLineHeight(layout.get()));
    // Wrapped lines are aligned by Pango inside the box's width; a single line is
    // placed by its own width, so that a centred line wider than the box is cut
    // evenly at both edges.
    const CGFloat x = pango_layout_get_width(layout.get()) >= 0
        ? rect.origin.x
        : rect.origin.x + (rect.size.width - size.width) * alignmentFactor(alignment);

    cairo_t* cairo = context->cairo();
    {
        CairoStateSaver saved(cairo);
        cairo_new_path(cairo);
        cairo_rectangle(cairo, rect.origin.x, rect.origin.y, rect.size.width, height);
        cairo_clip(cairo);
        context->useAsSource(context->fillColor());
        cairo_move_to(cairo, x, rect.origin.y);
        pango_cairo_show_layout(cairo, layout.get());
    }
    return CGSizeMake(std::min(size.width, rect.size.width), std::min(size.height, height));
}

CGSize NSStringDrawInRect(
    const NSString* text, CGRect rect, const UIFont* font, NSLineBreakMode mode, NSTextAlignment alignment)
{
    if (!text)
        return CGSizeZero;
    return NSStringDrawInRect(std::string_view(text->UTF8String()), rect, font, mode, alignment);
}
