#include "platform/render/RecordedDrawing.h"

#include "platform/render/CairoGraphicsContext.h"
#include "platform/render/TextLayoutCache.h"

#include <cairo.h>

#include <algorithm>

namespace render {

namespace {
template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;
}  // namespace

void RecordedDrawing::cover(const uikit::Rect& rect) {
    const uikit::Rect area = transform_.apply(rect.standardized());
    if (!extent_) {
        extent_ = area;
        return;
    }
    const double x0 = std::min(extent_->minX(), area.minX()), y0 = std::min(extent_->minY(), area.minY());
    const double x1 = std::max(extent_->maxX(), area.maxX()), y1 = std::max(extent_->maxY(), area.maxY());
    extent_ = uikit::Rect(x0, y0, x1 - x0, y1 - y0);
}

void RecordedDrawing::saveState() {
    calls_.push_back(Save{});
    saved_.push_back(transform_);
}

void RecordedDrawing::restoreState() {
    calls_.push_back(Restore{});
    if (saved_.empty()) return;
    transform_ = saved_.back();
    saved_.pop_back();
}

void RecordedDrawing::concat(const uikit::AffineTransform& transform) {
    calls_.push_back(Concat{transform});
    transform_ = transform.concat(transform_);
}

void RecordedDrawing::setLineWidth(double width) {
    calls_.push_back(LineWidth{width});
    lineWidth_ = width;
}

void RecordedDrawing::fillRect(const uikit::Rect& rect) {
    calls_.push_back(FillRect{rect});
    cover(rect);
}

void RecordedDrawing::fillPath(const uikit::BezierPath& path) {
    calls_.push_back(FillPath{path});
    if (!path.isEmpty()) cover(path.bounds());
}

void RecordedDrawing::strokePath(const uikit::BezierPath& path) {
    calls_.push_back(StrokePath{path});
    if (!path.isEmpty()) cover(strokeExtent(path, lineWidth_));
}

void RecordedDrawing::drawText(const uikit::AttributedString& text, const uikit::Rect& rect,
                               uikit::TextAlignment alignment, uikit::LineBreakMode mode, int numberOfLines) {
    if (text.empty()) return;  // draws nothing
    auto layout = TextLayoutCache::shared().fitted(text, rect.size, alignment, mode, numberOfLines);
    cover(layout->inkRect().offsetBy(rect.origin.x, rect.origin.y));
    calls_.push_back(Text{text, rect, alignment, mode, numberOfLines, std::move(layout)});
}

void RecordedDrawing::replay(CairoGraphicsContext& context) const {
    for (const Call& call : calls_) {
        std::visit(Overloaded{
                       [&](const Save&) { context.saveState(); },
                       [&](const Restore&) { context.restoreState(); },
                       [&](const Concat& c) { context.concat(c.transform); },
                       [&](const Clip& c) { context.clipToRect(c.rect); },
                       [&](const FillColor& c) { context.setFillColor(c.color); },
                       [&](const StrokeColor& c) { context.setStrokeColor(c.color); },
                       [&](const LineWidth& c) { context.setLineWidth(c.width); },
                       [&](const FillRect& c) { context.fillRect(c.rect); },
                       [&](const FillPath& c) { context.fillPath(c.path); },
                       [&](const StrokePath& c) { context.strokePath(c.path); },
                       [&](const Text& c) { context.showText(*c.layout, c.rect.origin); },
                   },
                   call);
    }
}

uikit::Rect RecordedDrawing::strokeExtent(const uikit::BezierPath& path, double width) {
    // Cairo knows the stroke's shape best (miters, caps); a context of its own measures it.
    static cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    static cairo_t* cr = cairo_create(surface);
    CairoGraphicsContext::addPath(cr, path);
    cairo_set_line_width(cr, width);
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    cairo_stroke_extents(cr, &x0, &y0, &x1, &y1);
    cairo_new_path(cr);
    return {x0, y0, x1 - x0, y1 - y0};
}

}  // namespace render
