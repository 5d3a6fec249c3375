#pragma once

#include "platform/foundation/RunLoop.h"
#include "platform/uikit/GestureRecognizer.h"

namespace uikit {

// Begins once the finger has rested `minimumPressDuration` seconds (at once for 0) without
// moving more than `allowableMovement`; then reports changes on movement and ends on lift.
// Moving too far or lifting early fails it.
class LongPressGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;
    ~LongPressGestureRecognizer() override;
    double minimumPressDuration = 0.5;
    double allowableMovement = 10;

    void touchesBegan(const TouchSet& touches, const Event* event) override;
    void touchesMoved(const TouchSet& touches, const Event* event) override;
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void touchesCancelled(const TouchSet& touches, const Event* event) override;
    void reset() override;

private:
    void cancelTimer();
    Point start_;
    foundation::RunLoop::Identifier timer_ = 0;
};

}  // namespace uikit
