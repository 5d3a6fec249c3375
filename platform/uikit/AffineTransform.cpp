#include "platform/uikit/AffineTransform.h"

#include <algorithm>
#include <cmath>

namespace uikit {

AffineTransform AffineTransform::rotation(double radians) {
    double c = std::cos(radians), s = std::sin(radians);
    return {c, s, -s, c, 0, 0};
}

AffineTransform AffineTransform::concat(const AffineTransform& n) const {
    return {a * n.a + b * n.c, a * n.b + b * n.d, c * n.a + d * n.c, c * n.b + d * n.d,
            tx * n.a + ty * n.c + n.tx, tx * n.b + ty * n.d + n.ty};
}

AffineTransform AffineTransform::inverted() const {
    double det = a * d - b * c;
    if (det == 0 || !std::isfinite(det)) return *this;
    return {d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
}

Rect AffineTransform::apply(const Rect& r) const {
    Rect s = r.standardized();
    Point p[4] = {apply(s.origin), apply(Point{s.maxX(), s.minY()}), apply(Point{s.minX(), s.maxY()}),
                  apply(Point{s.maxX(), s.maxY()})};
    double x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
    for (const auto& q : p) {
        x0 = std::min(x0, q.x); x1 = std::max(x1, q.x);
        y0 = std::min(y0, q.y); y1 = std::max(y1, q.y);
    }
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

AffineTransform AffineTransform::interpolate(const AffineTransform& f, const AffineTransform& t, double k) {
    auto mix = [k](double x, double y) { return x + (y - x) * k; };
    return {mix(f.a, t.a), mix(f.b, t.b), mix(f.c, t.c), mix(f.d, t.d), mix(f.tx, t.tx), mix(f.ty, t.ty)};
}

}  // namespace uikit
