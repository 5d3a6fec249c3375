#include "platform/uikit/Rect.h"

#include <algorithm>

namespace uikit {

Rect Rect::standardized() const {
    Rect r = *this;
    if (r.size.width < 0) { r.origin.x += r.size.width; r.size.width = -r.size.width; }
    if (r.size.height < 0) { r.origin.y += r.size.height; r.size.height = -r.size.height; }
    return r;
}

Rect Rect::insetBy(double dx, double dy) const {
    Rect r = standardized();
    double w = r.size.width - 2 * dx;
    double h = r.size.height - 2 * dy;
    if (w < 0 || h < 0) return Rect(r.midX(), r.midY(), 0, 0);
    return Rect(r.origin.x + dx, r.origin.y + dy, w, h);
}

bool Rect::contains(Point p) const {
    Rect r = standardized();
    return p.x >= r.origin.x && p.y >= r.origin.y && p.x < r.origin.x + r.size.width &&
           p.y < r.origin.y + r.size.height;
}

Rect Rect::intersection(const Rect& other) const {
    double x0 = std::max(minX(), other.minX());
    double y0 = std::max(minY(), other.minY());
    double x1 = std::min(maxX(), other.maxX());
    double y1 = std::min(maxY(), other.maxY());
    if (x1 <= x0 || y1 <= y0) return Rect();
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

}  // namespace uikit
