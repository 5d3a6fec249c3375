#pragma once

#include "platform/uikit/AnimationValue.h"
#include "platform/uikit/TimingFunction.h"

#include <functional>
#include <optional>
#include <string>

namespace uikit {

enum class FillMode { removed, forwards, backwards, both };

// An animation of one layer property from a value to a value. A missing from-value is the
// layer's model value when the animation is added; a missing to-value likewise.
struct BasicAnimation {
    std::string keyPath;
    std::optional<AnimationValue> fromValue;
    std::optional<AnimationValue> toValue;
    double duration = 0.25;
    double beginTime = 0;  // delay after being added
    TimingFunction timingFunction = TimingFunction::defaultFunction();
    bool removedOnCompletion = true;
    FillMode fillMode = FillMode::removed;
    // Called once: finished true at the end, false when removed or replaced earlier.
    std::function<void(bool finished)> didStop;

    explicit BasicAnimation(std::string path = {}) : keyPath(std::move(path)) {}
};

}  // namespace uikit
