#include "platform/uikit/BezierPath.h"

#include <algorithm>
#include <cmath>

namespace uikit {

namespace {
constexpr double kappa = 0.5522847498307936;  // control-point distance of a quarter circle
}

BezierPath BezierPath::rect(const Rect& r) {
    Rect s = r.standardized();
    BezierPath p;
    p.moveTo(s.origin);
    p.lineTo({s.maxX(), s.minY()});
    p.lineTo({s.maxX(), s.maxY()});
    p.lineTo({s.minX(), s.maxY()});
    p.close();
    return p;
}

BezierPath BezierPath::ovalInRect(const Rect& r) {
    Rect s = r.standardized();
    double rx = s.width() / 2, ry = s.height() / 2, cx = s.midX(), cy = s.midY();
    BezierPath p;
    p.moveTo({cx + rx, cy});
    p.curveTo({cx, cy + ry}, {cx + rx, cy + ry * kappa}, {cx + rx * kappa, cy + ry});
    p.curveTo({cx - rx, cy}, {cx - rx * kappa, cy + ry}, {cx - rx, cy + ry * kappa});
    p.curveTo({cx, cy - ry}, {cx - rx, cy - ry * kappa}, {cx - rx * kappa, cy - ry});
    p.curveTo({cx + rx, cy}, {cx + rx * kappa, cy - ry}, {cx + rx, cy - ry * kappa});
    p.close();
    return p;
}

BezierPath BezierPath::roundedRect(const Rect& r, double radius) {
    return roundedRect(r, RectCornerAllCorners, Size{radius, radius});
}

BezierPath BezierPath::roundedRect(const Rect& r, unsigned corners, Size radii) {
    Rect s = r.standardized();
    double rx = std::clamp(radii.width, 0.0, s.width() / 2);
    double ry = std::clamp(radii.height, 0.0, s.height() / 2);
    auto radiusX = [&](unsigned corner) { return (corners & corner) ? rx : 0.0; };
    auto radiusY = [&](unsigned corner) { return (corners & corner) ? ry : 0.0; };
    double x0 = s.minX(), y0 = s.minY(), x1 = s.maxX(), y1 = s.maxY();
    // Every corner contributes the same elements (a line and a curve), rounded or not, so that
    // paths over different rectangles interpolate point by point.
    BezierPath p;
    double tlx = radiusX(RectCornerTopLeft), tly = radiusY(RectCornerTopLeft);
    double trx = radiusX(RectCornerTopRight), try_ = radiusY(RectCornerTopRight);
    double brx = radiusX(RectCornerBottomRight), bry = radiusY(RectCornerBottomRight);
    double blx = radiusX(RectCornerBottomLeft), bly = radiusY(RectCornerBottomLeft);
    p.moveTo({x0 + tlx, y0});
    p.lineTo({x1 - trx, y0});
    p.curveTo({x1, y0 + try_}, {x1 - trx + trx * kappa, y0}, {x1, y0 + try_ - try_ * kappa});
    p.lineTo({x1, y1 - bry});
    p.curveTo({x1 - brx, y1}, {x1, y1 - bry + bry * kappa}, {x1 - brx + brx * kappa, y1});
    p.lineTo({x0 + blx, y1});
    p.curveTo({x0, y1 - bly}, {x0 + blx - blx * kappa, y1}, {x0, y1 - bly + bly * kappa});
    p.lineTo({x0, y0 + tly});
    p.curveTo({x0 + tlx, y0}, {x0, y0 + tly - tly * kappa}, {x0 + tlx - tlx * kappa, y0});
    p.close();
    return p;
}

void BezierPath::moveTo(Point p) { elements_.push_back({Kind::move, {p, {}, {}}}); }
void BezierPath::lineTo(Point p) { elements_.push_back({Kind::line, {p, {}, {}}}); }
void BezierPath::curveTo(Point end, Point c1, Point c2) { elements_.push_back({Kind::curve, {end, c1, c2}}); }
void BezierPath::close() { elements_.push_back({Kind::close, {}}); }
void BezierPath::append(const BezierPath& other) {
    elements_.insert(elements_.end(), other.elements_.begin(), other.elements_.end());
}

void BezierPath::apply(const AffineTransform& t) {
    for (auto& e : elements_)
        for (auto& p : e.points) p = t.apply(p);
}

Rect BezierPath::bounds() const {
    bool any = false;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (const auto& e : elements_) {
        int n = e.kind == Kind::curve ? 3 : (e.kind == Kind::close ? 0 : 1);
        for (int i = 0; i < n; ++i) {
            const Point& p = e.points[i];
            if (!any) { x0 = x1 = p.x; y0 = y1 = p.y; any = true; }
            x0 = std::min(x0, p.x); x1 = std::max(x1, p.x);
            y0 = std::min(y0, p.y); y1 = std::max(y1, p.y);
        }
    }
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

bool BezierPath::contains(Point q) const {
    // Flatten into polygons and count the winding number.
    int winding = 0;
    Point start{}, current{};
    auto edge = [&](Point a, Point b) {
        if (a.y <= q.y) {
            if (b.y > q.y && (b.x - a.x) * (q.y - a.y) - (q.x - a.x) * (b.y - a.y) > 0) ++winding;
        } else if (b.y <= q.y && (b.x - a.x) * (q.y - a.y) - (q.x - a.x) * (b.y - a.y) < 0) {
            --winding;
        }
    };
    for (const auto& e : elements_) {
        switch (e.kind) {
            case Kind::move:
                edge(current, start);
                start = current = e.points[0];
                break;
            case Kind::line:
                edge(current, e.points[0]);
                current = e.points[0];
                break;
            case Kind::curve: {
                Point p0 = current;
                for (int i = 1; i <= 16; ++i) {
                    double t = i / 16.0, u = 1 - t;
                    Point p{u * u * u * p0.x + 3 * u * u * t * e.points[1].x + 3 * u * t * t * e.points[2].x + t * t * t * e.points[0].x,
                            u * u * u * p0.y + 3 * u * u * t * e.points[1].y + 3 * u * t * t * e.points[2].y + t * t * t * e.points[0].y};
                    edge(current, p);
                    current = p;
                }
                break;
            }
            case Kind::close:
                edge(current, start);
                current = start;
                break;
        }
    }
    edge(current, start);
    return winding != 0;
}

BezierPath BezierPath::interpolate(const BezierPath& from, const BezierPath& to, double t) {
    if (from.elements_.size() != to.elements_.size()) return t >= 1 ? to : from;
    BezierPath out = from;
    for (std::size_t i = 0; i < out.elements_.size(); ++i) {
        if (from.elements_[i].kind != to.elements_[i].kind) return t >= 1 ? to : from;
        for (int k = 0; k < 3; ++k) {
            const Point& a = from.elements_[i].points[k];
            const Point& b = to.elements_[i].points[k];
            out.elements_[i].points[k] = {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
        }
    }
    return out;
}

}  // namespace uikit
