// Owning handles of the C libraries that text and pictures are drawn with: each
// frees its object with the library's own function when it goes, on every path.
// The handles that the platform's public headers hold free through the
// platform's own code, so that those headers need neither Cairo nor Pango.
#pragma once

#include <platform/Export.h>

#include <memory>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _PangoFontDescription PangoFontDescription;

namespace platform {

// A deleter that calls a library's free function, for handles in code that
// includes the library: `std::unique_ptr<PangoFont, FreeWith<g_object_unref>>`.
template <auto free> struct FreeWith {
    template <typename T> void operator()(T* object) const { free(object); }
};

struct PLATFORM_EXPORT CairoDestroy {
    void operator()(cairo_t* cairo) const;
};
struct PLATFORM_EXPORT CairoSurfaceDestroy {
    void operator()(cairo_surface_t* surface) const;
};
struct PLATFORM_EXPORT PangoFontDescriptionFree {
    void operator()(PangoFontDescription* description) const;
};

// One reference to a Cairo context or surface; cairo_reference makes another
// that a second handle can own.
using CairoHandle = std::unique_ptr<cairo_t, CairoDestroy>;
using CairoSurfaceHandle = std::unique_ptr<cairo_surface_t, CairoSurfaceDestroy>;
using PangoFontDescriptionHandle = std::unique_ptr<PangoFontDescription, PangoFontDescriptionFree>;

} // namespace platform
