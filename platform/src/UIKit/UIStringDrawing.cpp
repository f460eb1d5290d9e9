#include <UIKit/UIStringDrawing.h>

#include "TextEngine.h"

#include <CoreGraphics/CGContext.h>
#include <UIKit/UIGraphics.h>

#include <pango/pangocairo.h>

#include <algorithm>
#include <vector>

namespace {

constexpr std::string_view ellipsis = "\u2026";

uikit::LayoutPtr makeLineLayout(std::string_view text, const UIFont& font)
{
    uikit::LayoutPtr layout = uikit::makeLayout(text, font);
    pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
    return layout;
}

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

std::string withEllipsis(std::string_view text, std::size_t cut)
{
    std::string_view kept = text.substr(0, cut);
    while (!kept.empty() && (kept.back() == ' ' || kept.back() == '\t'))
        kept.remove_suffix(1);
    return std::string(kept) + std::string(ellipsis);
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
        return makeLineLayout(NSStringTruncatingTail(text, &font, width), font);

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
    return uikit::layoutSize(makeLineLayout(text, *font).get());
}

CGSize NSStringSizeWithFont(const NSString* text, const UIFont* font)
{
    return text ? NSStringSizeWithFont(std::string_view(text->UTF8String()), font) : CGSizeZero;
}

std::string NSStringTruncatingTail(std::string_view text, const UIFont* font, CGFloat width)
{
    if (!font)
        return {};
    uikit::LayoutPtr layout = makeLineLayout(text, *font);
    if (uikit::layoutSize(layout.get()).width <= width)
        return std::string(text);

    // The longest start that fits with the ellipsis: widths grow with the cut.
    const std::vector<std::size_t> cuts = cutPositions(layout.get(), text);
    auto fits = [&](std::size_t cut) {
        const std::string candidate = withEllipsis(text, cut);
        pango_layout_set_text(layout.get(), candidate.data(), static_cast<int>(candidate.size()));
        return uikit::layoutSize(layout.get()).width <= width;
    };
    auto firstTooWide = std::partition_point(cuts.begin(), cuts.end(), fits);
    if (firstTooWide == cuts.begin())
        return {};
    return withEllipsis(text, *std::prev(firstTooWide));
}

CGSize NSStringDrawInRect(
    std::string_view text, CGRect rect, const UIFont* font, NSLineBreakMode mode, NSTextAlignment alignment)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context || !font || CGRectIsEmpty(rect))
        return CGSizeZero;
    uikit::LayoutPtr layout = layoutForMode(text, *font, rect.size.width, mode, alignment);
    const CGSize size = uikit::layoutSize(layout.get());
    const CGFloat height = std::max(rect.size.height, firstLineHeight(layout.get()));
    // Wrapped lines are aligned by Pango inside the box's width; a single line is
    // placed by its own width, so that a centred line wider than the box is cut
    // evenly at both edges.
    const CGFloat x = pango_layout_get_width(layout.get()) >= 0
        ? rect.origin.x
        : rect.origin.x + (rect.size.width - size.width) * alignmentFactor(alignment);

    cairo_t* cairo = context->cairo();
    cairo_save(cairo);
    cairo_new_path(cairo);
    cairo_rectangle(cairo, rect.origin.x, rect.origin.y, rect.size.width, height);
    cairo_clip(cairo);
    context->useAsSource(context->fillColor());
    cairo_move_to(cairo, x, rect.origin.y);
    pango_cairo_show_layout(cairo, layout.get());
    cairo_restore(cairo);
    return CGSizeMake(std::min(size.width, rect.size.width), std::min(size.height, height));
}

CGSize NSStringDrawInRect(
    const NSString* text, CGRect rect, const UIFont* font, NSLineBreakMode mode, NSTextAlignment alignment)
{
    if (!text)
        return CGSizeZero;
    return NSStringDrawInRect(std::string_view(text->UTF8String()), rect, font, mode, alignment);
}
