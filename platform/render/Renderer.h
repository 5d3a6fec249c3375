#pragma once

#include "platform/render/Image.h"
#include "platform/uikit/Color.h"
#include "platform/uikit/Layer.h"
#include "platform/uikit/View.h"

#include <optional>

typedef struct _cairo cairo_t;

namespace render {

// Draws a layer tree as it is presented at the run loop's current time: per layer its
// transform, opacity, background (with corner radius), the drawing of its view, the path of a
// shape layer, its sublayers by z-position, its border, its clipping and its mask.
class Renderer {
public:
    // The view's bounds at `scale` pixels per point; lays the tree out first.
    static Image render(uikit::View& view, double scale, std::optional<uikit::Color> background = std::nullopt);
    static Image render(const uikit::Layer& layer, uikit::Size size, double scale,
                        std::optional<uikit::Color> background = std::nullopt);
    // Draws `layer` in the current user space of `cr` as the root (its bounds origin at 0, 0).
    static void drawRoot(cairo_t* cr, const uikit::Layer& layer);
};

}  // namespace render
