#pragma once

#include "platform/uikit/AffineTransform.h"
#include "platform/uikit/Point.h"
#include "platform/uikit/Rect.h"
#include "platform/uikit/RectCorner.h"
#include "platform/uikit/Size.h"

#include <vector>

namespace uikit {

// A path of move, line, cubic curve and close elements.
class BezierPath {
public:
    enum class Kind { move, line, curve, close };
    struct Element {
        Kind kind;
        Point points[3];
        friend bool operator==(const Element& a, const Element& b) {
            return a.kind == b.kind && a.points[0] == b.points[0] && a.points[1] == b.points[1] &&
                   a.points[2] == b.points[2];
        }
    };

    BezierPath() = default;
    static BezierPath rect(const Rect& r);
    static BezierPath ovalInRect(const Rect& r);
    static BezierPath roundedRect(const Rect& r, double cornerRadius);
    // Rounds only the given corners, with radii clamped to half the width and height.
    static BezierPath roundedRect(const Rect& r, unsigned corners, Size cornerRadii);

    void moveTo(Point p);
    void lineTo(Point p);
    void curveTo(Point end, Point control1, Point control2);
    void close();
    void append(const BezierPath& other);
    void apply(const AffineTransform& t);

    const std::vector<Element>& elements() const { return elements_; }
    bool isEmpty() const { return elements_.empty(); }
    Rect bounds() const;  // of all points, control points included
    // Even-odd is not needed here: nonzero winding, curves flattened.
    bool contains(Point p) const;
    friend bool operator==(const BezierPath&, const BezierPath&) = default;
    // Point-wise interpolation when both paths have the same elements; otherwise `to` at t >= 1, else `from`.
    static BezierPath interpolate(const BezierPath& from, const BezierPath& to, double t);

private:
    std::vector<Element> elements_;
};

}  // namespace uikit
