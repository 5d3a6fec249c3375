#include "ui/CalculatorRecognizer.h"

#include "platform/uikit/AudioServices.h"
#include "platform/uikit/View.h"

namespace ostrelo {

CalculatorRecognizer::CalculatorRecognizer(Action action, std::weak_ptr<void> guard, double threshold,
                                           bool vibrateOnDeepPress)
    : uikit::GestureRecognizer(std::move(action), std::move(guard)),
      vibrateOnDeepPress(vibrateOnDeepPress),
      threshold(threshold),
      pulse(PulseLayer::make()) {}

void CalculatorRecognizer::touchesBegan(const uikit::TouchSet& touches, const uikit::Event*) {
    if (!touches.empty() && touches.front() != nullptr) handleDeepPressForce(*touches.front());
}

void CalculatorRecognizer::touchesMoved(const uikit::TouchSet& touches, const uikit::Event*) {
    if (!touches.empty() && touches.front() != nullptr) handleDeepPressForce(*touches.front());
}

void CalculatorRecognizer::touchesEnded(const uikit::TouchSet& touches, const uikit::Event* event) {
    uikit::GestureRecognizer::touchesEnded(touches, event);
    setState(deepPressed ? ended : failed);
    deepPressed = false;
}

void CalculatorRecognizer::touchesCancelled(const uikit::TouchSet& touches, const uikit::Event* event) {
    // A cancelled deep press ends as cancelled; the next press starts afresh.
    uikit::GestureRecognizer::touchesCancelled(touches, event);
    setState(deepPressed ? cancelled : failed);
    deepPressed = false;
}

void CalculatorRecognizer::reset() { deepPressed = false; }

void CalculatorRecognizer::handleDeepPressForce(const uikit::Touch& touch) {
    uikit::View* target = view();
    if (target == nullptr || touch.force == 0 || touch.maximumPossibleForce == 0) return;
    const double ratio = touch.force / touch.maximumPossibleForce;
    if (!deepPressed) {
        if (ratio >= threshold) {
            target->layer().addSublayer(pulse);
            pulse->startPulse({0, 0, target->frame().width(), target->frame().height()});
            setState(began);
            if (vibrateOnDeepPress) uikit::AudioServices::playAlertSound(uikit::AudioServices::vibrate);
            deepPressed = true;
        }
    } else if (ratio < threshold) {
        setState(ended);
        deepPressed = false;
    }
}

}  // namespace ostrelo
