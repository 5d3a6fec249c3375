#include "platform/render/FrameRenderer.h"

#include "platform/render/CairoGraphicsContext.h"

#include <cairo.h>

namespace render {

namespace {

// Drawing clipped to a box is not quite drawing unclipped: Cairo cuts paths at the clip, and
// the pixels next to the cut may come out a shade off. A box is therefore drawn into a picture
// of its own this many pixels larger on each side, whose inner part is copied.
constexpr int apron = 4;

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
    const bool partial = last_ && last_->target == whole && last_->scale == scale && last_->background == background;
    DamageRegion damage;
    if (partial) LayerSnapshot::compare(last_->tree.get(), next.tree.get(), damage);
    else damage.add(whole);
    damage.clipTo(whole);
    last_ = std::move(next);
    const LayerSnapshot* tree = last_->tree.get();
    if (!partial) {
        cairo_save(cr);
        paintBackground(cr, background);
        cairo_scale(cr, scale, scale);
        if (tree != nullptr) tree->paint(cr);
        cairo_restore(cr);
        return damage.boxes();
    }
    for (const auto& box : damage.boxes()) {
        const DamageRegion::Box area =
            DamageRegion::Box{box.x - apron, box.y - apron, box.width + 2 * apron, box.height + 2 * apron}.intersection(whole);
        DamageRegion only;
        only.add(area);
        cairo_surface_t* picture =
            cairo_surface_create_similar_image(target, cairo_image_surface_get_format(target), area.width, area.height);
        cairo_t* pictureCr = cairo_create(picture);
        cairo_translate(pictureCr, -area.x, -area.y);
        paintBackground(pictureCr, background);
        cairo_scale(pictureCr, scale, scale);
        if (tree != nullptr) tree->paint(pictureCr, &only);
        cairo_destroy(pictureCr);
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, picture, area.x, area.y);
        cairo_rectangle(cr, box.x, box.y, box.width, box.height);
        cairo_fill(cr);
        cairo_restore(cr);
        cairo_surface_destroy(picture);
    }
    return damage.boxes();
}

}  // namespace render
