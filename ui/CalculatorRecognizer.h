#pragma once

#include "platform/uikit/GestureRecognizer.h"
#include "ui/PulseLayer.h"

#include <memory>

namespace ostrelo {

// Recognises a deep press on its view: when the touch's force reaches `threshold` of the most
// it can be, the pulse ring is shown over the view (and the device vibrates when asked); the
// press ends when the force drops below the threshold again or the finger lifts. The action runs
// while `guard` lives.
class CalculatorRecognizer : public uikit::GestureRecognizer {
public:
    CalculatorRecognizer(Action action, std::weak_ptr<void> guard, double threshold, bool vibrateOnDeepPress);

    bool vibrateOnDeepPress;
    double threshold;
    std::shared_ptr<PulseLayer> pulse;
    bool deepPressed = false;

    void touchesBegan(const uikit::TouchSet& touches, const uikit::Event* event) override;
    void touchesMoved(const uikit::TouchSet& touches, const uikit::Event* event) override;
    void touchesEnded(const uikit::TouchSet& touches, const uikit::Event* event) override;
    void touchesCancelled(const uikit::TouchSet& touches, const uikit::Event* event) override;
    void reset() override;

    void handleDeepPressForce(const uikit::Touch& touch);
};

}  // namespace ostrelo
