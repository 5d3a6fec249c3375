#include "platform/render/Renderer.h"

#include "platform/render/CairoGraphicsContext.h"
#include "platform/render/LayerSnapshot.h"

#include <cairo.h>

#include <cmath>

namespace render {

void Renderer::drawRoot(cairo_t* cr, const uikit::Layer& layer) {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    if (auto tree = LayerSnapshot::take(layer, true, {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0})) tree->paint(cr);
}

Image Renderer::render(const uikit::Layer& layer, uikit::Size size, double scale, std::optional<uikit::Color> background) {
    scale = scale > 0 ? scale : 1;
    Image image(static_cast<int>(std::ceil(size.width * scale)), static_cast<int>(std::ceil(size.height * scale)));
    cairo_t* cr = cairo_create(image.surface());
    if (background) {
        CairoGraphicsContext::setSource(cr, *background);
        cairo_paint(cr);
    }
    cairo_scale(cr, scale, scale);
    drawRoot(cr, layer);
    cairo_destroy(cr);
    cairo_surface_flush(image.surface());
    return image;
}

Image Renderer::render(uikit::View& view, double scale, std::optional<uikit::Color> background) {
    view.layoutIfNeeded();
    return render(view.layer(), view.bounds().size, scale, background);
}

}  // namespace render
