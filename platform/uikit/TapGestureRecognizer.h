#pragma once

#include "platform/uikit/GestureRecognizer.h"

namespace uikit {

// Recognised when the finger lifts without having moved more than 10 points.
class TapGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;
    double allowableMovement = 10;

    void touchesBegan(const TouchSet& touches, const Event* event) override;
    void touchesMoved(const TouchSet& touches, const Event* event) override;
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void touchesCancelled(const TouchSet& touches, const Event* event) override;

private:
    Point start_;
};

}  // namespace uikit
