#include "platform/uikit/LongPressGestureRecognizer.h"

#include <cmath>

namespace uikit {

LongPressGestureRecognizer::~LongPressGestureRecognizer() { cancelTimer(); }

void LongPressGestureRecognizer::cancelTimer() {
    if (timer_ != 0) foundation::RunLoop::main().cancel(timer_);
    timer_ = 0;
}

void LongPressGestureRecognizer::touchesBegan(const TouchSet& touches, const Event*) {
    if (touches.empty()) return;
    start_ = touches.front()->locationInWindow();
    cancelTimer();
    if (minimumPressDuration <= 0) {
        setState(began);
        return;
    }
    timer_ = foundation::RunLoop::main().perform(this, lifetime_.weak(), minimumPressDuration, [this] {
        timer_ = 0;
        if (state() == possible) setState(began);
    });
}

void LongPressGestureRecognizer::touchesMoved(const TouchSet& touches, const Event*) {
    if (touches.empty()) return;
    Point p = touches.front()->locationInWindow();
    if (state() == possible) {
        if (std::hypot(p.x - start_.x, p.y - start_.y) > allowableMovement) {
            cancelTimer();
            setState(failed);
        }
    } else if (state() == began || state() == changed) {
        setState(changed);
    }
}

void LongPressGestureRecognizer::touchesEnded(const TouchSet&, const Event*) {
    cancelTimer();
    if (state() == began || state() == changed) setState(ended);
    else if (state() == possible) setState(failed);
}

void LongPressGestureRecognizer::touchesCancelled(const TouchSet&, const Event*) {
    cancelTimer();
    if (state() == began || state() == changed) setState(cancelled);
    else setState(failed);
}

void LongPressGestureRecognizer::reset() { cancelTimer(); }

}  // namespace uikit
