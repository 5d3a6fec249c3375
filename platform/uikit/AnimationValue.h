#pragma once

#include "platform/uikit/AffineTransform.h"
#include "platform/uikit/BezierPath.h"
#include "platform/uikit/Color.h"
#include "platform/uikit/Point.h"
#include "platform/uikit/Rect.h"

#include <variant>

namespace uikit {

// The value of an animatable layer property.
using AnimationValue = std::variant<double, Point, Rect, AffineTransform, BezierPath, Color>;

// Value between two values of the same kind at progress t; `to` when the kinds differ and t >= 1.
AnimationValue interpolateAnimationValue(const AnimationValue& from, const AnimationValue& to, double t);

}  // namespace uikit
