#include "TextEngine.h"

#include <Foundation/NSLog.h>
#include <UIKit/UIFont.h>
#include <platform/Environment.h>

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <unicode/locid.h>

#include <algorithm>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

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
    // Pango tags a run in a script that the device's language does not write
    // with that script's own language (Hangul is Korean), unless the machine's
    // LANGUAGE lists a language that writes it: the device alone decides here.
    // Read once, at the first layout.
    g_setenv("PANGO_LANGUAGE", "", TRUE);
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
    return context;
}

// The device's language as Pango names it. Chinese keeps what tells its forms
// apart: "zh-tw" for traditional, "zh-hk" for Hong Kong's, "zh-cn" otherwise.
std::string textLanguage(const std::string& localeIdentifier)
{
    icu::Locale locale(localeIdentifier.c_str());
    const std::string_view language = locale.getLanguage();
    if (language.empty())
        return "en";
    if (language != "zh")
        return std::string(language);
    UErrorCode status = U_ZERO_ERROR;
    locale.addLikelySubtags(status);
    if (std::string_view(locale.getScript()) != "Hant")
        return "zh-cn";
    const std::string_view region = locale.getCountry();
    return region == "HK" || region == "MO" ? "zh-hk" : "zh-tw";
}

// Every text made into a line since the device's language last changed: labels
// measure and draw the same few texts on every layout pass. Enough for every
// label of a screenful of rows several times over; when it is full it starts
// afresh rather than tracking use.
constexpr std::size_t lineLayoutCacheLimit = 2048;
std::unordered_map<std::string, LayoutPtr>& lineLayoutCache()
{
    static std::unordered_map<std::string, LayoutPtr> cache;
    return cache;
}

} // namespace

PangoContext* textContext()
{
    static PangoContext* context = createContext();
    // The device's language picks the forms of Chinese, Japanese and Korean
    // characters (platform/fonts/fonts.conf) and shapes text as that language
    // is written; the machine's own never does.
    static unsigned generation = ~0u;
    if (generation != platform::environmentGeneration()) {
        generation = platform::environmentGeneration();
        PangoLanguage* language
            = pango_language_from_string(textLanguage(platform::currentLocaleIdentifier()).c_str());
        if (language != pango_context_get_language(context)) {
            pango_context_set_language(context, language);
            lineLayoutCache().clear();
        }
    }
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
    // The context first: a change of language empties the cache.
    textContext();
    auto& cache = lineLayoutCache();
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

namespace {

// The characters the layout shows as boxes, in the order they come, each once.
std::vector<gunichar> undrawnCharacters(PangoLayout* layout)
{
    std::vector<gunichar> characters;
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    do {
        PangoLayoutRun* run = pango_layout_iter_get_run_readonly(iter);
        if (!run)
            continue;
        for (int i = 0; i < run->glyphs->num_glyphs; ++i) {
            const PangoGlyph glyph = run->glyphs->glyphs[i].glyph;
            if (!(glyph & PANGO_GLYPH_UNKNOWN_FLAG))
                continue;
            const gunichar character = glyph & ~PANGO_GLYPH_UNKNOWN_FLAG;
            if (std::find(characters.begin(), characters.end(), character) == characters.end())
                characters.push_back(character);
        }
    } while (pango_layout_iter_next_run(iter));
    pango_layout_iter_free(iter);
    return characters;
}

} // namespace

void reportUndrawnCharacters(PangoLayout* layout, std::string_view text)
{
    const std::vector<gunichar> characters = undrawnCharacters(layout);
    if (characters.empty())
        return;
    // Bounded like the line cache, for a device that runs for days.
    static std::unordered_set<std::string> reported;
    if (reported.size() >= lineLayoutCacheLimit)
        reported.clear();
    if (!reported.emplace(text).second)
        return;
    std::string codePoints;
    for (gunichar character : characters) {
        char name[16];
        std::snprintf(name, sizeof name, " U+%04X", static_cast<unsigned>(character));
        codePoints += name;
    }
    NSLog("UIKit: no installed font draws%s, shown as %s in \"%.*s\"", codePoints.c_str(),
        characters.size() == 1 ? "a box" : "boxes", static_cast<int>(text.size()), text.data());
}

} // namespace uikit
