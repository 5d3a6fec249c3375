#include "platform/uikit/TapGestureRecognizer.h"

#include <cmath>

namespace uikit {

void TapGestureRecognizer::touchesBegan(const TouchSet& touches, const Event*) {
    if (!touches.empty()) start_ = touches.front()->locationInWindow();
}

void TapGestureRecognizer::touchesMoved(const TouchSet& touches, const Event*) {
    if (touches.empty()) return;
    Point p = touches.front()->locationInWindow();
    if (std::hypot(p.x - start_.x, p.y - start_.y) > allowableMovement) setState(failed);
}

void TapGestureRecognizer::touchesEnded(const TouchSet& touches, const Event* event) {
    touchesMoved(touches, event);
    if (state() == possible) setState(ended);
}

void TapGestureRecognizer::touchesCancelled(const TouchSet&, const Event*) { setState(failed); }

}  // namespace uikit
