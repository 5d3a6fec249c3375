#include "platform/uikit/Control.h"

namespace uikit {

void Control::addTarget(const void* target, Action action, unsigned events, std::weak_ptr<void> guard) {
    std::erase_if(targets_, [](const Target& t) { return !t.target; });
    targets_.push_back(Target{{target, std::move(guard)}, std::move(action), events});
}

void Control::removeTarget(const void* target, unsigned events) {
    for (auto& t : targets_)
        if (target == nullptr || t.target.get() == target) t.events &= ~events;
    std::erase_if(targets_, [](const Target& t) { return t.events == 0 || !t.target; });
}

void Control::sendActionsForControlEvents(unsigned events) {
    auto alive = this->alive();
    auto targets = targets_;
    unsigned outer = sendingEvents_;
    sendingEvents_ = events;
    for (auto& t : targets) {
        if (alive.expired()) return;
        if ((t.events & events) == 0 || !t.target) continue;
        if (t.action) t.action(*this);
    }
    if (!alive.expired()) sendingEvents_ = outer;
}

void Control::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    setNeedsDisplay();
}

void Control::setEnabled(bool enabled) {
    enabled_ = enabled;
    setNeedsDisplay();
}

void Control::setSelected(bool selected) {
    selected_ = selected;
    setNeedsDisplay();
}

unsigned Control::state() const {
    unsigned s = ControlStateNormal;
    if (highlighted_) s |= ControlStateHighlighted;
    if (!enabled_) s |= ControlStateDisabled;
    if (selected_) s |= ControlStateSelected;
    return s;
}

bool Control::touchInside(const Touch& touch) const {
    return bounds().insetBy(-trackingSlop, -trackingSlop).contains(touch.locationInView(this));
}

void Control::touchesBegan(const TouchSet& touches, const Event*) {
    if (touches.empty() || !enabled_) return;
    tracking_ = true;
    wasInside_ = true;
    setHighlighted(true);
    sendActionsForControlEvents(ControlEventTouchDown);
}

void Control::touchesMoved(const TouchSet& touches, const Event*) {
    if (touches.empty() || !tracking_) return;
    bool inside = touchInside(*touches.front());
    setHighlighted(inside);
    unsigned events = inside ? ControlEventTouchDragInside : ControlEventTouchDragOutside;
    if (inside != wasInside_) events |= inside ? ControlEventTouchDragEnter : ControlEventTouchDragExit;
    wasInside_ = inside;
    sendActionsForControlEvents(events);
}

void Control::touchesEnded(const TouchSet& touches, const Event*) {
    if (touches.empty() || !tracking_) return;
    tracking_ = false;
    bool inside = touchInside(*touches.front());
    setHighlighted(false);
    sendActionsForControlEvents(inside ? ControlEventTouchUpInside : ControlEventTouchUpOutside);
}

void Control::touchesCancelled(const TouchSet&, const Event*) {
    if (!tracking_) return;
    tracking_ = false;
    setHighlighted(false);
    sendActionsForControlEvents(ControlEventTouchCancel);
}

}  // namespace uikit
