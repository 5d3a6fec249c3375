#include "platform/uikit/GestureRecognizer.h"

#include "platform/uikit/View.h"
#include "platform/uikit/Window.h"

namespace uikit {

GestureRecognizer::GestureRecognizer(Action action, std::weak_ptr<void> guard) {
    addTarget(std::move(action), std::move(guard));
}

void GestureRecognizer::addTarget(Action action, std::weak_ptr<void> guard) {
    std::erase_if(targets_, [](const Target& t) { return t.guard.expired(); });
    targets_.push_back(Target{std::move(action), std::move(guard)});
}

void GestureRecognizer::setState(State state) {
    state_ = state;
    if (state == possible || state == failed) return;
    if ((state == began || state == ended) && cancelsTouchesInView && view_ != nullptr) {
        if (Window* window = view_->window()) window->gestureRecognizerDidRecognize(this);
    }
    auto alive = lifetime_.weak();
    auto targets = targets_;
    for (auto& target : targets) {
        if (alive.expired()) return;  // an action destroyed this recogniser
        if (target.guard.expired()) continue;
        if (target.action) target.action(*this);
    }
}

void GestureRecognizer::touchesBegan(const TouchSet&, const Event*) {}
void GestureRecognizer::touchesMoved(const TouchSet&, const Event*) {}
void GestureRecognizer::touchesEnded(const TouchSet&, const Event*) {}
void GestureRecognizer::touchesCancelled(const TouchSet&, const Event*) {}

Point GestureRecognizer::locationInView(const View* view) const {
    Point windowPoint = touch_ != nullptr ? touch_->locationInWindow() : lastLocationInWindow_;
    if (view == nullptr) return windowPoint;
    return view->convertPointFromWindow(windowPoint);
}

void GestureRecognizer::endSequence() {
    if (touch_ != nullptr) lastLocationInWindow_ = touch_->locationInWindow();
    touch_ = nullptr;
    state_ = possible;
    reset();
}

}  // namespace uikit
