#include "platform/render/CairoGraphicsContext.h"

#include "platform/render/TextLayoutCache.h"

#include <cairo.h>

namespace render {

void CairoGraphicsContext::addPath(cairo_t* cr, const uikit::BezierPath& path) {
    cairo_new_path(cr);
    for (const auto& e : path.elements()) {
        switch (e.kind) {
            case uikit::BezierPath::Kind::move: cairo_move_to(cr, e.points[0].x, e.points[0].y); break;
            case uikit::BezierPath::Kind::line: cairo_line_to(cr, e.points[0].x, e.points[0].y); break;
            case uikit::BezierPath::Kind::curve:
                cairo_curve_to(cr, e.points[1].x, e.points[1].y, e.points[2].x, e.points[2].y, e.points[0].x, e.points[0].y);
                break;
            case uikit::BezierPath::Kind::close: cairo_close_path(cr); break;
        }
    }
}

void CairoGraphicsContext::setSource(cairo_t* cr, const uikit::Color& c) {
    cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
}

void CairoGraphicsContext::saveState() { cairo_save(cr_); }
void CairoGraphicsContext::restoreState() { cairo_restore(cr_); }

void CairoGraphicsContext::concat(const uikit::AffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    cairo_transform(cr_, &m);
}

void CairoGraphicsContext::clipToRect(const uikit::Rect& r) {
    cairo_rectangle(cr_, r.minX(), r.minY(), r.width(), r.height());
    cairo_clip(cr_);
}

void CairoGraphicsContext::fillRect(const uikit::Rect& r) {
    setSource(cr_, fill_);
    cairo_rectangle(cr_, r.minX(), r.minY(), r.width(), r.height());
    cairo_fill(cr_);
}

void CairoGraphicsContext::fillPath(const uikit::BezierPath& path) {
    setSource(cr_, fill_);
    addPath(cr_, path);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr_);
}

void CairoGraphicsContext::strokePath(const uikit::BezierPath& path) {
    setSource(cr_, stroke_);
    addPath(cr_, path);
    cairo_set_line_width(cr_, lineWidth_);
    cairo_stroke(cr_);
}

void CairoGraphicsContext::drawText(const uikit::AttributedString& text, const uikit::Rect& rect,
                                    uikit::TextAlignment alignment, uikit::LineBreakMode mode, int numberOfLines) {
    if (text.empty()) return;
    showText(*TextLayoutCache::shared().fitted(text, rect.size, alignment, mode, numberOfLines), rect.origin);
}

void CairoGraphicsContext::showText(const TextLayout& layout, uikit::Point origin) { layout.show(cr_, origin); }

}  // namespace render
