#pragma once

#include "platform/uikit/Rect.h"

namespace uikit {

// Distances in from the four edges of a rectangle.
struct EdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
    friend bool operator==(const EdgeInsets&, const EdgeInsets&) = default;

    // The rectangle with these insets taken off (never of negative size).
    Rect inset(const Rect& rect) const {
        Rect r = rect.standardized();
        double w = r.size.width - left - right;
        double h = r.size.height - top - bottom;
        return Rect(r.origin.x + left, r.origin.y + top, w > 0 ? w : 0, h > 0 ? h : 0);
    }
};

}  // namespace uikit
