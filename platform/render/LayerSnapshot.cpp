#include "platform/render/LayerSnapshot.h"

#include "platform/render/CairoGraphicsContext.h"
#include "platform/uikit/ShapeLayer.h"
#include "platform/uikit/View.h"

#include <cairo.h>

#include <algorithm>

namespace render {

namespace {

// Pixels beyond the geometry that antialiasing, hinting and glyphs placed on whole pixels may
// touch.
constexpr int margin = 2;

cairo_matrix_t cairoMatrix(const uikit::AffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return m;
}

// `local` followed by `device`, as the target combines them; none when either is singular (a
// scale of zero draws nothing, and the target would refuse it).
std::optional<uikit::AffineTransform> combine(const uikit::AffineTransform& local, const uikit::AffineTransform& device) {
    cairo_matrix_t first = cairoMatrix(local), then = cairoMatrix(device), both;
    cairo_matrix_multiply(&both, &first, &then);
    for (cairo_matrix_t check : {first, both})
        if (cairo_matrix_invert(&check) != CAIRO_STATUS_SUCCESS) return std::nullopt;
    return uikit::AffineTransform{both.xx, both.yx, both.xy, both.yy, both.x0, both.y0};
}

void roundedRectPath(cairo_t* cr, const uikit::Rect& r, double radius) {
    if (radius <= 0) {
        cairo_new_path(cr);
        cairo_rectangle(cr, r.minX(), r.minY(), r.width(), r.height());
        return;
    }
    CairoGraphicsContext::addPath(cr, uikit::BezierPath::roundedRect(r, radius));
}

}  // namespace

std::unique_ptr<LayerSnapshot> LayerSnapshot::take(const uikit::Layer& layer, bool asRoot,
                                                   const uikit::AffineTransform& device) {
    if (layer.hidden) return nullptr;
    const double opacity = std::clamp(layer.presentedOpacity(), 0.0, 1.0);
    if (opacity <= 0) return nullptr;
    const uikit::Rect bounds = layer.presentedBounds();
    const uikit::AffineTransform transform =
        asRoot ? uikit::AffineTransform::translation(-bounds.origin.x, -bounds.origin.y)
               : layer.transformToSuperlayer(true);
    const auto combined = combine(transform, device);
    if (!combined) return nullptr;

    auto snapshot = std::make_unique<LayerSnapshot>();
    snapshot->layer_ = reinterpret_cast<std::uintptr_t>(&layer);
    snapshot->transform_ = transform;
    snapshot->device_ = *combined;
    snapshot->opacity_ = opacity;
    snapshot->bounds_ = bounds;
    snapshot->masksToBounds_ = layer.masksToBounds;
    snapshot->cornerRadius_ = layer.cornerRadius;
    snapshot->takeContent(layer);
    if (layer.mask) {
        snapshot->masked_ = true;
        auto* shape = dynamic_cast<const uikit::ShapeLayer*>(layer.mask.get());
        if (shape != nullptr && shape->sublayers().empty())
            snapshot->maskArea_ = layer.mask->transformToSuperlayer(true).apply(shape->presentedPath().bounds());
        snapshot->mask_ = take(*layer.mask, false, snapshot->device_);
    }
    snapshot->findBox();
    return snapshot;
}

void LayerSnapshot::takeContent(const uikit::Layer& layer) {
    if (auto background = layer.presentedBackgroundColor(); background && background->alpha > 0) background_ = background;
    if (uikit::View* view = layer.view()) {
        hasView_ = true;
        uikit::GraphicsContext::Scope scope(&drawing_);
        view->drawRect(bounds_);
        view->didDisplay();
    }
    if (auto* shape = dynamic_cast<const uikit::ShapeLayer*>(&layer)) {
        uikit::BezierPath path = shape->presentedPath();
        if (!path.isEmpty()) {
            Shape kept{std::move(path), std::nullopt, std::nullopt, shape->presentedLineWidth()};
            if (shape->fillColor && shape->fillColor->alpha > 0) kept.fill = shape->fillColor;
            if (shape->strokeColor && shape->strokeColor->alpha > 0 && kept.lineWidth > 0) kept.stroke = shape->strokeColor;
            if (kept.fill || kept.stroke) shape_ = std::move(kept);
        }
    }
    std::vector<const uikit::Layer*> order;
    for (const auto& sub : layer.sublayers()) order.push_back(sub.get());
    std::stable_sort(order.begin(), order.end(),
                     [](const uikit::Layer* a, const uikit::Layer* b) { return a->zPosition < b->zPosition; });
    for (const uikit::Layer* sub : order)
        if (auto taken = take(*sub, false, device_)) sublayers_.push_back(std::move(taken));
    if (layer.borderWidth > 0 && layer.borderColor.alpha > 0) border_ = Border{layer.borderWidth, layer.borderColor};
}

void LayerSnapshot::findBox() {
    auto covering = [&](const uikit::Rect& rect) { return DamageRegion::Box::covering(rect, device_, margin); };
    DamageRegion::Box box;
    if (background_ || border_) box = box.united(covering(bounds_));
    if (auto extent = drawing_.extent()) box = box.united(covering(*extent));
    if (shape_) {
        if (shape_->fill) box = box.united(covering(shape_->path.bounds()));
        if (shape_->stroke) box = box.united(covering(RecordedDrawing::strokeExtent(shape_->path, shape_->lineWidth)));
    }
    for (const auto& sub : sublayers_) box = box.united(sub->box_);
    // Clipping keeps everything inside.
    if (masksToBounds_) box = box.intersection(covering(bounds_));
    if (maskArea_) box = box.intersection(covering(*maskArea_));
    box_ = box;
}

void LayerSnapshot::paint(cairo_t* cr, const DamageRegion* only) const {
    if (only != nullptr && !only->intersects(box_)) return;
    cairo_save(cr);
    cairo_matrix_t m = cairoMatrix(transform_);
    cairo_transform(cr, &m);
    const bool grouped = opacity_ < 1 || masked_;
    // Intermediate surfaces are as large as the clip: keep them to what can be drawn.
    if (masksToBounds_) {
        roundedRectPath(cr, bounds_, 0);
        cairo_clip(cr);
    }
    if (maskArea_) {
        roundedRectPath(cr, *maskArea_, 0);
        cairo_clip(cr);
    }
    if (grouped) cairo_push_group(cr);
    paintContent(cr, only);
    if (masked_) {
        cairo_pattern_t* content = cairo_pop_group(cr);
        cairo_push_group(cr);
        if (mask_) mask_->paint(cr, only);
        cairo_pattern_t* mask = cairo_pop_group(cr);
        cairo_push_group(cr);
        cairo_set_source(cr, content);
        cairo_mask(cr, mask);
        cairo_pattern_destroy(mask);
        cairo_pattern_destroy(content);
    }
    if (grouped) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, opacity_);
    }
    cairo_restore(cr);
}

void LayerSnapshot::paintContent(cairo_t* cr, const DamageRegion* only) const {
    if (masksToBounds_) {
        roundedRectPath(cr, bounds_, cornerRadius_);
        cairo_clip(cr);
    }
    if (background_) {
        CairoGraphicsContext::setSource(cr, *background_);
        roundedRectPath(cr, bounds_, cornerRadius_);
        cairo_fill(cr);
    }
    if (hasView_ && !drawing_.empty()) {
        cairo_save(cr);
        CairoGraphicsContext context(cr);
        drawing_.replay(context);
        cairo_restore(cr);
    }
    if (shape_) {
        if (shape_->fill) {
            CairoGraphicsContext::setSource(cr, *shape_->fill);
            CairoGraphicsContext::addPath(cr, shape_->path);
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
            cairo_fill(cr);
        }
        if (shape_->stroke) {
            CairoGraphicsContext::setSource(cr, *shape_->stroke);
            CairoGraphicsContext::addPath(cr, shape_->path);
            cairo_set_line_width(cr, shape_->lineWidth);
            cairo_stroke(cr);
        }
    }
    for (const auto& sub : sublayers_) sub->paint(cr, only);
    if (border_) {
        CairoGraphicsContext::setSource(cr, border_->color);
        const double half = border_->width / 2;
        roundedRectPath(cr, bounds_.insetBy(half, half), std::max(0.0, cornerRadius_ - half));
        cairo_set_line_width(cr, border_->width);
        cairo_stroke(cr);
    }
}

bool LayerSnapshot::sameFrame(const LayerSnapshot& other) const {
    return transform_ == other.transform_ && device_ == other.device_ && opacity_ == other.opacity_ &&
           bounds_ == other.bounds_ && masksToBounds_ == other.masksToBounds_ &&
           cornerRadius_ == other.cornerRadius_ && background_ == other.background_ && hasView_ == other.hasView_ &&
           shape_ == other.shape_ && border_ == other.border_ && masked_ == other.masked_ &&
           maskArea_ == other.maskArea_ && equal(mask_, other.mask_);
}

DamageRegion::Box LayerSnapshot::drawingBox() const {
    if (!drawing_.extent()) return {};
    return DamageRegion::Box::covering(*drawing_.extent(), device_, margin).intersection(box_);
}

bool LayerSnapshot::same(const LayerSnapshot& other) const {
    return sameFrame(other) && drawing_ == other.drawing_ && sublayers_.size() == other.sublayers_.size() &&
           std::equal(sublayers_.begin(), sublayers_.end(), other.sublayers_.begin(), equal);
}

bool LayerSnapshot::equal(const std::unique_ptr<LayerSnapshot>& a, const std::unique_ptr<LayerSnapshot>& b) {
    if (!a || !b) return !a && !b;
    return a->same(*b);
}

// Outside the boxes added, both snapshots draw the same: equal layers draw the same pixels,
// and a changed sublayer changes no pixel outside its own box.
void LayerSnapshot::compare(const LayerSnapshot* before, const LayerSnapshot* after, DamageRegion& damage) {
    if (before == nullptr || after == nullptr) {
        if (before != nullptr) damage.add(before->box_);
        if (after != nullptr) damage.add(after->box_);
        return;
    }
    if (!before->sameFrame(*after)) {
        damage.add(before->box_);
        damage.add(after->box_);
        return;
    }
    // A view that drew something else (a label's new text) changed only where either drawing went.
    if (!(before->drawing_ == after->drawing_)) {
        damage.add(before->drawingBox());
        damage.add(after->drawingBox());
    }
    compareSublayers(before->sublayers_, after->sublayers_, damage);
}

// Sublayers are paired in order: the same layer, or equal ones. A layer of one list whose
// pair comes later in the other was removed (or added), and one without a pair was replaced.
void LayerSnapshot::compareSublayers(const std::vector<std::unique_ptr<LayerSnapshot>>& before,
                                     const std::vector<std::unique_ptr<LayerSnapshot>>& after, DamageRegion& damage) {
    auto later = [](const auto& list, std::size_t from, const LayerSnapshot& wanted) {
        std::size_t at = from;
        while (at < list.size() && list[at]->layer_ != wanted.layer_) ++at;
        return at;
    };
    std::size_t i = 0, j = 0;
    while (i < before.size() && j < after.size()) {
        const LayerSnapshot& a = *before[i];
        const LayerSnapshot& b = *after[j];
        if (a.layer_ == b.layer_) {
            compare(&a, &b, damage);
            ++i, ++j;
        } else if (a.same(b)) {
            ++i, ++j;
        } else if (std::size_t k = later(before, i + 1, b); k < before.size()) {
            for (; i < k; ++i) damage.add(before[i]->box_);
        } else if (std::size_t k = later(after, j + 1, a); k < after.size()) {
            for (; j < k; ++j) damage.add(after[j]->box_);
        } else {
            damage.add(a.box_);
            damage.add(b.box_);
            ++i, ++j;
        }
    }
    for (; i < before.size(); ++i) damage.add(before[i]->box_);
    for (; j < after.size(); ++j) damage.add(after[j]->box_);
}

}  // namespace render
