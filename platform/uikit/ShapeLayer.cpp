#include "platform/uikit/ShapeLayer.h"

namespace uikit {

std::optional<AnimationValue> ShapeLayer::modelValue(const std::string& keyPath) const {
    if (keyPath == "path") return AnimationValue(path);
    if (keyPath == "lineWidth") return AnimationValue(lineWidth);
    if (keyPath == "strokeColor") return AnimationValue(strokeColor.value_or(Color::clear()));
    if (keyPath == "fillColor") return AnimationValue(fillColor.value_or(Color::clear()));
    return Layer::modelValue(keyPath);
}

BezierPath ShapeLayer::presentedPath() const {
    if (!hasAnimations()) return path;
    auto v = presentedValue("path", path);
    return std::holds_alternative<BezierPath>(v) ? std::get<BezierPath>(v) : path;
}

double ShapeLayer::presentedLineWidth() const {
    if (!hasAnimations()) return lineWidth;
    auto v = presentedValue("lineWidth", lineWidth);
    return std::holds_alternative<double>(v) ? std::get<double>(v) : lineWidth;
}

}  // namespace uikit
