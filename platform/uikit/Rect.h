#pragma once

#include "platform/uikit/Point.h"
#include "platform/uikit/Size.h"

namespace uikit {

// A rectangle in doubles. A negative width or height is read as its standardised form.
struct Rect {
    Point origin;
    Size size;

    Rect() = default;
    Rect(Point o, Size s) : origin(o), size(s) {}
    Rect(double x, double y, double w, double h) : origin{x, y}, size{w, h} {}
    friend bool operator==(const Rect&, const Rect&) = default;

    Rect standardized() const;
    double minX() const { return standardized().origin.x; }
    double minY() const { return standardized().origin.y; }
    double maxX() const { auto s = standardized(); return s.origin.x + s.size.width; }
    double maxY() const { auto s = standardized(); return s.origin.y + s.size.height; }
    double midX() const { return (minX() + maxX()) / 2; }
    double midY() const { return (minY() + maxY()) / 2; }
    double width() const { return standardized().size.width; }
    double height() const { return standardized().size.height; }
    bool isEmpty() const { return size.width == 0 || size.height == 0; }
    // Inset by dx on the left and right and dy on top and bottom; negative insets grow it.
    // An inset larger than half the size gives an empty rectangle at the centre.
    Rect insetBy(double dx, double dy) const;
    Rect offsetBy(double dx, double dy) const { return {origin.x + dx, origin.y + dy, size.width, size.height}; }
    // Half-open: the maximum edges are outside.
    bool contains(Point p) const;
    Rect intersection(const Rect& other) const;
};

}  // namespace uikit
