#include "platform/render/FrameRenderer.h"

#include "platform/render/CairoGraphicsContext.h"

#include <cairo.h>

namespace render {

namespace {

// Drawing clipped to a box is not quite drawing unclipped: Cairo cuts paths at the clip, and
// the pixels next to the cut may come out a shade off. A box is therefore drawn into a picture
// of its own this many pixels larger on each side, whose inner part is copied.
constexpr int apron = 4;
// The picture's pixels are kept for the next frame up to this many bytes (a box of a key or of
// the display line); larger ones are let go after the frame.
constexpr std::size_t pictureKept = 256 << 10;

void paintBackground(cairo_t* cr, uikit::Color background) {
    CairoGraphicsContext::setSource(cr, background);
    cairo_paint(cr);
}

}  // namespace

std::vector<DamageRegion::Box> FrameRenderer::draw(cairo_t* cr, const uikit::Layer& root, double scale,
                                                   uikit::Color background) {
    cairo_surface_t* target = cairo_get_target(cr);
    const DamageRegion::Box whole{0, 0, cairo_image_surface_get_width(target), cairo_image_surface_get_height(target)};
    Drawn next{whole, scale, background,
               LayerSnapshot::take(root, true, uikit::AffineTransform::scale(scale, scale))};
    bool partial = last_ && last_->target == whole && last_->scale == scale && last_->background == background;
    DamageRegion damage;
    if (partial) LayerSnapshot::compare(last_->tree.get(), next.tree.get(), damage);
    damage.clipTo(whole);
    // Most of the window changed (a theme, a popover): drawn whole, without pictures.
    if (!partial || damage.area() > whole.area() / 2) {
        partial = false;
        damage = DamageRegion();
        damage.add(whole);
    }
    last_ = std::move(next);
    if (!partial) {
        cairo_save(cr);
        paintBackground(cr, background);
        cairo_scale(cr, scale, scale);
        if (last_->tree) last_->tree->paint(cr);
        cairo_restore(cr);
        return damage.boxes();
    }
    for (const auto& box : damage.boxes()) drawBox(cr, box, *last_);
    // (Assigning `{}` would only empty it: a vector keeps its capacity when given no elements.)
    if (picture_.capacity() > pictureKept) std::vector<unsigned char>().swap(picture_);
    return damage.boxes();
}

// Draws the box of `frame` into the picture (from the box grown by the apron), then copies it.
void FrameRenderer::drawBox(cairo_t* cr, const DamageRegion::Box& box, const Drawn& frame) {
    const DamageRegion::Box area =
        DamageRegion::Box{box.x - apron, box.y - apron, box.width + 2 * apron, box.height + 2 * apron}.intersection(
            frame.target);
    cairo_surface_t* target = cairo_get_target(cr);
    const cairo_format_t format = cairo_image_surface_get_format(target);
    const int stride = cairo_format_stride_for_width(format, area.width);
    // One buffer serves every box, so that frames do not allocate.
    if (picture_.size() < static_cast<std::size_t>(stride) * area.height)
        picture_.resize(static_cast<std::size_t>(stride) * area.height);
    cairo_surface_t* picture = cairo_image_surface_create_for_data(picture_.data(), format, area.width, area.height, stride);
    cairo_t* pictureCr = cairo_create(picture);
    cairo_set_operator(pictureCr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(pictureCr);
    cairo_set_operator(pictureCr, CAIRO_OPERATOR_OVER);
    cairo_translate(pictureCr, -area.x, -area.y);
    paintBackground(pictureCr, frame.background);
    cairo_scale(pictureCr, frame.scale, frame.scale);
    DamageRegion only;
    only.add(area);
    if (frame.tree) frame.tree->paint(pictureCr, &only);
    cairo_destroy(pictureCr);
    cairo_surface_flush(picture);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, picture, area.x, area.y);
    cairo_rectangle(cr, box.x, box.y, box.width, box.height);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(picture);
}

}  // namespace render
