#include <UIKit/UIFont.h>

#include "TextEngine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

// The names platform/fonts/fonts.conf gives a face; fontconfig would hand any
// other name some fallback face, where UIKit answers nil.
constexpr std::array<std::string_view, 4> knownFontNames { "HelveticaNeue", "HelveticaNeue-Light", ".SFUIText",
    ".SFUIDisplay-Light" };
constexpr std::string_view systemFontName = ".SFUIText";

bool isKnownFontName(std::string_view name)
{
    for (std::string_view known : knownFontNames) {
        if (known == name)
            return true;
    }
    return false;
}

CGFloat fromPango(int units)
{
    return static_cast<CGFloat>(units) / PANGO_SCALE;
}

using LoadedFont = std::unique_ptr<PangoFont, platform::FreeWith<g_object_unref>>;
using Metrics = std::unique_ptr<PangoFontMetrics, platform::FreeWith<pango_font_metrics_unref>>;
using Text = std::unique_ptr<char, platform::FreeWith<g_free>>;

LoadedFont loadFont(const PangoFontDescription* description)
{
    return LoadedFont(pango_context_load_font(uikit::textContext(), description));
}

} // namespace

Class UIFont::classObject()
{
    return objc::registeredClass<UIFont>("UIFont");
}

namespace {

// Pango measures in 32-bit units of 1/1024 point and warns, then draws nothing,
// far below a size of 2,000,000,000. A font keeps the size it was asked for;
// the text engine gets one it can draw, which is still larger than any screen.
constexpr CGFloat largestTextEngineSize = 10000;

CGFloat textEngineSize(CGFloat pointSize)
{
    return std::isfinite(pointSize) ? std::clamp<CGFloat>(pointSize, 0, largestTextEngineSize) : 0;
}

} // namespace

UIFont::UIFont(NonNullRef<NSString> name, CGFloat pointSize)
    : name_(std::move(name))
    , pointSize_(pointSize)
    , description_(pango_font_description_new())
{
    pango_font_description_set_family(description_.get(), name_->UTF8String().c_str());
    pango_font_description_set_absolute_size(description_.get(), textEngineSize(pointSize_) * PANGO_SCALE);
}

UIFont::~UIFont() = default;

Ref<UIFont> UIFont::fontWithName(std::string_view name, CGFloat size)
{
    if (!isKnownFontName(name) || size <= 0)
        return nullptr;
    return makeRef<UIFont>(*NSString::string(name), size);
}

Ref<UIFont> UIFont::fontWithName(const NSString* name, CGFloat size)
{
    return name ? fontWithName(std::string_view(name->UTF8String()), size) : nullptr;
}

Ref<UIFont> UIFont::systemFontOfSize(CGFloat size)
{
    return fontWithName(systemFontName, size);
}

Ref<UIFont> UIFont::fontWithSize(CGFloat size) const
{
    if (size <= 0)
        return nullptr;
    return makeRef<UIFont>(name_, size);
}

void UIFont::loadMetrics() const
{
    if (metricsLoaded_)
        return;
    if (const LoadedFont font = loadFont(description_.get())) {
        const Metrics metrics(pango_font_get_metrics(font.get(), nullptr));
        ascender_ = fromPango(pango_font_metrics_get_ascent(metrics.get()));
        descender_ = -fromPango(pango_font_metrics_get_descent(metrics.get()));
    }
    metricsLoaded_ = true;
}

CGFloat UIFont::ascender() const
{
    loadMetrics();
    return ascender_;
}

CGFloat UIFont::descender() const
{
    loadMetrics();
    return descender_;
}

CGFloat UIFont::lineHeight() const
{
    loadMetrics();
    return ascender_ - descender_;
}

std::string UIFont::faceName() const
{
    const LoadedFont font = loadFont(description_.get());
    if (!font)
        return {};
    const platform::PangoFontDescriptionHandle face(pango_font_describe(font.get()));
    pango_font_description_unset_fields(face.get(), PANGO_FONT_MASK_SIZE);
    const Text text(pango_font_description_to_string(face.get()));
    return text.get();
}

std::string UIFont::description() const
{
    char size[32];
    std::snprintf(size, sizeof size, "%.2f", pointSize_);
    return "<UIFont: font-family: \"" + name_->UTF8String() + "\"; font-size: " + size + "pt>";
}

bool UIFont::isEqual(const NSObject* other) const
{
    auto* font = dynamicCast<UIFont>(const_cast<NSObject*>(other));
    return font && font->pointSize_ == pointSize_ && font->name_->isEqualToString(name_.get());
}
