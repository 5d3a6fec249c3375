#pragma once

#include "platform/render/DamageRegion.h"
#include "platform/render/LayerSnapshot.h"
#include "platform/uikit/Color.h"
#include "platform/uikit/Layer.h"

#include <memory>
#include <optional>
#include <vector>

typedef struct _cairo cairo_t;

namespace render {

// Frames of one layer tree into one target that keeps its pixels from frame to frame (a
// window's surface): the first frame is drawn whole, each later one only where it differs from
// the frame before (the rest of the target is left as it is), or whole when most of it does.
class FrameRenderer {
public:
    // Draws the tree of `root` into `cr` (an image surface; its user space its pixels) at
    // `scale` pixels per point over `background`. Returns the boxes of pixels drawn: the whole
    // target for a whole frame, none when nothing changed.
    std::vector<DamageRegion::Box> draw(cairo_t* cr, const uikit::Layer& root, double scale, uikit::Color background);
    // The target no longer holds the last frame drawn (a new surface): the next frame is whole.
    void forget() { last_.reset(); }
    // The bytes held from one frame to the next for drawing boxes.
    std::size_t keptBytes() const { return picture_.capacity(); }

private:
    struct Drawn {
        DamageRegion::Box target;
        double scale;
        uikit::Color background;
        std::unique_ptr<LayerSnapshot> tree;
    };
    void drawBox(cairo_t* cr, const DamageRegion::Box& box, const Drawn& frame);

    std::optional<Drawn> last_;
    // The pixels of the picture a box is drawn in.
    std::vector<unsigned char> picture_;
};

}  // namespace render
