#include "TextEngine.h"

#include <UIKit/UIFont.h>

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <unordered_map>

namespace uikit {

namespace {

// The platform's font file, found from where this library was loaded: it lies
// at DAYGLASS_FONTS_CONF from the library's folder, in the build tree as once
// installed, so that no path of the machine that built it is compiled in.
std::string fontsConfPath()
{
    static const char anchor = 0;
    Dl_info library {};
    if (!dladdr(&anchor, &library) || !library.dli_fname)
        return DAYGLASS_FONTS_CONF;
    std::error_code error;
    std::filesystem::path file = std::filesystem::canonical(library.dli_fname, error);
    if (error)
        file = library.dli_fname;
    return (file.parent_path() / DAYGLASS_FONTS_CONF).lexically_normal().string();
}

// The platform's font file, or the machine's configuration when it cannot be read.
FcConfig* loadFontConfig()
{
    FcConfig* config = FcConfigCreate();
    const std::string path = fontsConfPath();
    if (!FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(path.c_str()), FcTrue)) {
        std::fprintf(stderr, "dayglass: cannot load %s; text uses the machine's fonts\n", path.c_str());
        FcConfigDestroy(config);
        return FcInitLoadConfigAndFonts();
    }
    FcConfigBuildFonts(config);
    return config;
}

PangoContext* createContext()
{
    // Made the process's current configuration before the font map exists: a new
    // font map initialises fontconfig on a thread of its own, which would otherwise
    // parse the machine's whole configuration (a quarter of `dayglass list`'s
    // start-up) only for it to be replaced by this one. The map uses the current
    // configuration as it is: handing it over as well would make the map list every
    // installed face once more. (The resolution must be the map's own: set on the
    // context instead, some of Pango's font choices still use the map's and are
    // made twice.)
    FcConfig* config = loadFontConfig();
    FcConfigSetCurrent(config);
    FcConfigDestroy(config);
    PangoFontMap* fontMap = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
    pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(fontMap), 72);

    PangoContext* context = pango_font_map_create_context(fontMap);
    g_object_unref(fontMap);

    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context, FALSE);
    // Shaping and metrics must not follow the machine's LANG.
    pango_context_set_language(context, pango_language_from_string("en"));
    return context;
}

} // namespace

PangoContext* textContext()
{
    static PangoContext* context = createContext();
    return context;
}

LayoutPtr makeLayout(std::string_view text, const UIFont& font)
{
    LayoutPtr layout(pango_layout_new(textContext()));
    pango_layout_set_font_description(layout.get(), font.pangoDescription());
    pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
    return layout;
}

namespace {

// Enough for every label of a screenful of rows several times over; when it is
// full it starts afresh rather than tracking use.
constexpr std::size_t lineLayoutCacheLimit = 2048;

std::string lineLayoutKey(std::string_view text, const UIFont& font)
{
    const CGFloat size = font.pointSize();
    std::string key = font.fontName()->UTF8String();
    key.push_back('\0');
    key.append(reinterpret_cast<const char*>(&size), sizeof size);
    key.append(text);
    return key;
}

} // namespace

LayoutPtr lineLayout(std::string_view text, const UIFont& font)
{
    static std::unordered_map<std::string, LayoutPtr> cache;
    std::string key = lineLayoutKey(text, font);
    auto found = cache.find(key);
    if (found == cache.end()) {
        if (cache.size() >= lineLayoutCacheLimit)
            cache.clear();
        LayoutPtr layout = makeLayout(text, font);
        pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
        found = cache.emplace(std::move(key), std::move(layout)).first;
    }
    return LayoutPtr(static_cast<PangoLayout*>(g_object_ref(found->second.get())));
}

CGSize layoutSize(PangoLayout* layout)
{
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    return CGSizeMake(
        static_cast<CGFloat>(logical.width) / PANGO_SCALE, static_cast<CGFloat>(logical.height) / PANGO_SCALE);
}

} // namespace uikit
