#include <platform/GraphicsHandles.h>

#include <cairo.h>
#include <pango/pango.h>

namespace platform {

void CairoDestroy::operator()(cairo_t* cairo) const
{
    cairo_destroy(cairo);
}

void CairoSurfaceDestroy::operator()(cairo_surface_t* surface) const
{
    cairo_surface_destroy(surface);
}

void PangoFontDescriptionFree::operator()(PangoFontDescription* description) const
{
    pango_font_description_free(description);
}

} // namespace platform
