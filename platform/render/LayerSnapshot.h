#pragma once

#include "platform/render/DamageRegion.h"
#include "platform/render/RecordedDrawing.h"
#include "platform/uikit/Layer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

typedef struct _cairo cairo_t;

namespace render {

// What a layer tree draws at one moment, kept: per layer its transform, opacity, background
// (with corner radius), the drawing of its view, the path of a shape layer, its sublayers by
// z-position, its border, its clipping and its mask, all as presented at the run loop's
// current time, and the pixels each layer's drawing may touch. Two snapshots tell which pixels
// differ between them; a snapshot draws itself, wholly or only where asked.
class LayerSnapshot {
public:
    // The snapshot of `layer`, null when it draws nothing (hidden, transparent, or collapsed by
    // its transform). `device` maps the space it is drawn in (the superlayer's; the root's
    // own, its bounds' origin at 0, 0) to the target's pixels.
    static std::unique_ptr<LayerSnapshot> take(const uikit::Layer& layer, bool asRoot,
                                               const uikit::AffineTransform& device);

    // Draws into `cr`, whose user space is the one `device` was for. With `only`, the target
    // is clipped to those boxes already, and layers that touch none of them are passed over.
    void paint(cairo_t* cr, const DamageRegion* only = nullptr) const;

    // Adds to `damage` the pixels that may differ between two snapshots (either may be null).
    static void compare(const LayerSnapshot* before, const LayerSnapshot* after, DamageRegion& damage);

    // The pixels this layer and its sublayers may touch.
    const DamageRegion::Box& box() const { return box_; }

private:
    struct Shape {
        uikit::BezierPath path;
        std::optional<uikit::Color> fill;
        std::optional<uikit::Color> stroke;
        double lineWidth = 0;
        friend bool operator==(const Shape&, const Shape&) = default;
    };
    struct Border {
        double width = 0;
        uikit::Color color;
        friend bool operator==(const Border&, const Border&) = default;
    };

    void takeContent(const uikit::Layer& layer);
    void findBox();
    void paintContent(cairo_t* cr, const DamageRegion* only) const;
    // Equal apart from the view's drawing and the sublayers.
    bool sameFrame(const LayerSnapshot& other) const;
    // The pixels the view's drawing may touch.
    DamageRegion::Box drawingBox() const;
    bool same(const LayerSnapshot& other) const;
    static bool equal(const std::unique_ptr<LayerSnapshot>& a, const std::unique_ptr<LayerSnapshot>& b);
    static void compareSublayers(const std::vector<std::unique_ptr<LayerSnapshot>>& before,
                                 const std::vector<std::unique_ptr<LayerSnapshot>>& after, DamageRegion& damage);

    // The layer it was taken of, only to pair it with a later snapshot (the layer may be gone).
    std::uintptr_t layer_ = 0;
    uikit::AffineTransform transform_;  // to the space it is drawn in
    uikit::AffineTransform device_;     // to the target's pixels
    double opacity_ = 1;
    uikit::Rect bounds_;
    bool masksToBounds_ = false;
    double cornerRadius_ = 0;
    std::optional<uikit::Color> background_;
    bool hasView_ = false;
    RecordedDrawing drawing_;
    std::optional<Shape> shape_;
    std::optional<Border> border_;
    bool masked_ = false;
    // The mask layer (null: it draws nothing) and, for a plain shape mask, the area it clips to.
    std::unique_ptr<LayerSnapshot> mask_;
    std::optional<uikit::Rect> maskArea_;
    std::vector<std::unique_ptr<LayerSnapshot>> sublayers_;
    DamageRegion::Box box_;
};

}  // namespace render
