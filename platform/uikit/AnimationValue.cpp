#include "platform/uikit/AnimationValue.h"

namespace uikit {

AnimationValue interpolateAnimationValue(const AnimationValue& from, const AnimationValue& to, double t) {
    if (from.index() != to.index()) return t >= 1 ? to : from;
    auto mix = [t](double a, double b) { return a + (b - a) * t; };
    switch (from.index()) {
        case 0: return mix(std::get<double>(from), std::get<double>(to));
        case 1: {
            auto a = std::get<Point>(from), b = std::get<Point>(to);
            return Point{mix(a.x, b.x), mix(a.y, b.y)};
        }
        case 2: {
            auto a = std::get<Rect>(from), b = std::get<Rect>(to);
            return Rect(mix(a.origin.x, b.origin.x), mix(a.origin.y, b.origin.y), mix(a.size.width, b.size.width),
                        mix(a.size.height, b.size.height));
        }
        case 3: return AffineTransform::interpolate(std::get<AffineTransform>(from), std::get<AffineTransform>(to), t);
        case 4: return BezierPath::interpolate(std::get<BezierPath>(from), std::get<BezierPath>(to), t);
        default: return Color::interpolate(std::get<Color>(from), std::get<Color>(to), t);
    }
}

}  // namespace uikit
