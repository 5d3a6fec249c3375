#pragma once

#include "platform/uikit/Point.h"
#include "platform/uikit/Rect.h"

namespace uikit {

// x' = a x + c y + tx, y' = b x + d y + ty.
struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static AffineTransform identity() { return {}; }
    static AffineTransform scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static AffineTransform translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static AffineTransform rotation(double radians);
    friend bool operator==(const AffineTransform&, const AffineTransform&) = default;

    bool isIdentity() const { return *this == AffineTransform{}; }
    // This transform followed by `next`.
    AffineTransform concat(const AffineTransform& next) const;
    AffineTransform inverted() const;  // the same transform when not invertible
    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    // Bounding box of the transformed rectangle.
    Rect apply(const Rect& r) const;
    // Component-wise interpolation (used by animations).
    static AffineTransform interpolate(const AffineTransform& from, const AffineTransform& to, double t);
};

}  // namespace uikit
