#pragma once

#include "platform/uikit/BezierPath.h"
#include "platform/uikit/Layer.h"

namespace uikit {

// A layer that fills and strokes a path in its own coordinate space.
class ShapeLayer : public Layer {
public:
    static std::shared_ptr<ShapeLayer> make() { return std::make_shared<ShapeLayer>(); }

    BezierPath path;
    std::optional<Color> fillColor = Color::black();  // none: not filled
    std::optional<Color> strokeColor;                  // none: not stroked
    double lineWidth = 1;

    std::optional<AnimationValue> modelValue(const std::string& keyPath) const override;
    BezierPath presentedPath() const;
    double presentedLineWidth() const;
};

}  // namespace uikit
