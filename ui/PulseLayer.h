#pragma once

#include "platform/uikit/Rect.h"
#include "platform/uikit/ShapeLayer.h"

#include <cstdint>
#include <memory>

namespace ostrelo {

// The ring that confirms a special long press: it grows 50 points out of a rectangle, widens to
// 10 points and fades in 0.25 s, then takes itself off its superlayer. Each owner keeps one and
// reuses it; callers add it to a layer first and play any vibration themselves.
class PulseLayer : public uikit::ShapeLayer {
public:
    static std::shared_ptr<PulseLayer> make() { return std::make_shared<PulseLayer>(); }

    static constexpr double duration = 0.25;

    // `rect` is in the layer's own coordinates (those of its superlayer, since the layer has a
    // zero frame at the origin).
    virtual void startPulse(const uikit::Rect& rect);

private:
    // Only the completion of the latest pulse removes the layer: a pulse started while another
    // runs replaces its animations and must not be cut short by the earlier completion.
    std::uint64_t pulseSerial_ = 0;
};

}  // namespace ostrelo
