#include "platform/render/Renderer.h"

#include "platform/render/CairoGraphicsContext.h"
#include "platform/uikit/ShapeLayer.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace render {

namespace {

void roundedRectPath(cairo_t* cr, const uikit::Rect& r, double radius) {
    if (radius <= 0) {
        cairo_new_path(cr);
        cairo_rectangle(cr, r.minX(), r.minY(), r.width(), r.height());
        return;
    }
    CairoGraphicsContext::addPath(cr, uikit::BezierPath::roundedRect(r, radius));
}

void drawLayer(cairo_t* cr, const uikit::Layer& layer, bool asRoot);

void drawContent(cairo_t* cr, const uikit::Layer& layer) {
    uikit::Rect bounds = layer.presentedBounds();
    if (layer.masksToBounds) {
        roundedRectPath(cr, bounds, layer.cornerRadius);
        cairo_clip(cr);
    }
    if (auto background = layer.presentedBackgroundColor(); background && background->alpha > 0) {
        CairoGraphicsContext::setSource(cr, *background);
        roundedRectPath(cr, bounds, layer.cornerRadius);
        cairo_fill(cr);
    }
    if (uikit::View* view = layer.view()) {
        cairo_save(cr);
        CairoGraphicsContext context(cr);
        uikit::GraphicsContext::Scope scope(&context);
        view->drawRect(bounds);
        view->didDisplay();
        cairo_restore(cr);
    }
    if (auto* shape = dynamic_cast<const uikit::ShapeLayer*>(&layer)) {
        uikit::BezierPath path = shape->presentedPath();
        if (!path.isEmpty()) {
            if (shape->fillColor && shape->fillColor->alpha > 0) {
                CairoGraphicsContext::setSource(cr, *shape->fillColor);
                CairoGraphicsContext::addPath(cr, path);
                cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
                cairo_fill(cr);
            }
            double width = shape->presentedLineWidth();
            if (shape->strokeColor && shape->strokeColor->alpha > 0 && width > 0) {
                CairoGraphicsContext::setSource(cr, *shape->strokeColor);
                CairoGraphicsContext::addPath(cr, path);
                cairo_set_line_width(cr, width);
                cairo_stroke(cr);
            }
        }
    }
    std::vector<const uikit::Layer*> order;
    for (const auto& sub : layer.sublayers()) order.push_back(sub.get());
    std::stable_sort(order.begin(), order.end(),
                     [](const uikit::Layer* a, const uikit::Layer* b) { return a->zPosition < b->zPosition; });
    for (const uikit::Layer* sub : order) drawLayer(cr, *sub, false);
    if (layer.borderWidth > 0 && layer.borderColor.alpha > 0) {
        CairoGraphicsContext::setSource(cr, layer.borderColor);
        double half = layer.borderWidth / 2;
        roundedRectPath(cr, bounds.insetBy(half, half), std::max(0.0, layer.cornerRadius - half));
        cairo_set_line_width(cr, layer.borderWidth);
        cairo_stroke(cr);
    }
}

void drawLayer(cairo_t* cr, const uikit::Layer& layer, bool asRoot) {
    if (layer.hidden) return;
    double opacity = std::clamp(layer.presentedOpacity(), 0.0, 1.0);
    if (opacity <= 0) return;
    cairo_save(cr);
    uikit::AffineTransform t = asRoot ? uikit::AffineTransform::translation(-layer.presentedBounds().origin.x,
                                                                             -layer.presentedBounds().origin.y)
                                      : layer.transformToSuperlayer(true);
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    cairo_transform(cr, &m);
    // A singular transform (a scale of zero) draws nothing.
    cairo_matrix_t current;
    cairo_get_matrix(cr, &current);
    if (cairo_matrix_invert(&current) != CAIRO_STATUS_SUCCESS) {
        cairo_restore(cr);
        return;
    }
    bool grouped = opacity < 1 || layer.mask;
    // Intermediate surfaces are as large as the clip: keep them to what can be drawn.
    if (layer.masksToBounds) {
        roundedRectPath(cr, layer.presentedBounds(), 0);
        cairo_clip(cr);
    }
    if (layer.mask) {
        if (auto* shape = dynamic_cast<const uikit::ShapeLayer*>(layer.mask.get()); shape && shape->sublayers().empty()) {
            uikit::Rect area = layer.mask->transformToSuperlayer(true).apply(shape->presentedPath().bounds());
            roundedRectPath(cr, area, 0);
            cairo_clip(cr);
        }
    }
    if (grouped) cairo_push_group(cr);
    drawContent(cr, layer);
    if (layer.mask) {
        cairo_pattern_t* content = cairo_pop_group(cr);
        cairo_push_group(cr);
        drawLayer(cr, *layer.mask, false);
        cairo_pattern_t* mask = cairo_pop_group(cr);
        cairo_push_group(cr);
        cairo_set_source(cr, content);
        cairo_mask(cr, mask);
        cairo_pattern_destroy(mask);
        cairo_pattern_destroy(content);
    }
    if (grouped) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, opacity);
    }
    cairo_restore(cr);
}

}  // namespace

void Renderer::drawRoot(cairo_t* cr, const uikit::Layer& layer) { drawLayer(cr, layer, true); }

Image Renderer::render(const uikit::Layer& layer, uikit::Size size, double scale, std::optional<uikit::Color> background) {
    scale = scale > 0 ? scale : 1;
    Image image(static_cast<int>(std::ceil(size.width * scale)), static_cast<int>(std::ceil(size.height * scale)));
    cairo_t* cr = cairo_create(image.surface());
    if (background) {
        CairoGraphicsContext::setSource(cr, *background);
        cairo_paint(cr);
    }
    cairo_scale(cr, scale, scale);
    drawLayer(cr, layer, true);
    cairo_destroy(cr);
    cairo_surface_flush(image.surface());
    return image;
}

Image Renderer::render(uikit::View& view, double scale, std::optional<uikit::Color> background) {
    view.layoutIfNeeded();
    return render(view.layer(), view.bounds().size, scale, background);
}

}  // namespace render
