#pragma once

#include "platform/foundation/WeakLink.h"
#include "platform/uikit/View.h"

#include <functional>
#include <memory>
#include <vector>

namespace uikit {

enum ControlState : unsigned {
    ControlStateNormal = 0,
    ControlStateHighlighted = 1u << 0,
    ControlStateDisabled = 1u << 1,
    ControlStateSelected = 1u << 2,
};

enum ControlEvents : unsigned {
    ControlEventTouchDown = 1u << 0,
    ControlEventTouchDownRepeat = 1u << 1,
    ControlEventTouchDragInside = 1u << 2,
    ControlEventTouchDragOutside = 1u << 3,
    ControlEventTouchDragEnter = 1u << 4,
    ControlEventTouchDragExit = 1u << 5,
    ControlEventTouchUpInside = 1u << 6,
    ControlEventTouchUpOutside = 1u << 7,
    ControlEventTouchCancel = 1u << 8,
    ControlEventValueChanged = 1u << 12,
    ControlEventAllTouchEvents = 0x0FFFu,
    ControlEventAllEvents = 0xFFFFFFFFu,
};

// A view that tracks its own touches (it does not pass them on), shows a highlighted state
// while pressed and sends actions to targets for control events.
class Control : public View {
public:
    using Action = std::function<void(Control&)>;
    using View::View;

    // `target`, the object the action works on (not null), identifies the registration for
    // removal. The action runs only while `guard` lives (see WeakLink): once the target is gone
    // it is skipped.
    void addTarget(const void* target, Action action, unsigned events, std::weak_ptr<void> guard);
    void removeTarget(const void* target, unsigned events = ControlEventAllEvents);
    void sendActionsForControlEvents(unsigned events);
    // The events whose actions are being sent, while they are (else 0): an action registered for
    // several events tells them apart by it.
    unsigned sendingEvents() const { return sendingEvents_; }
    // The events a scene connects an action to unless it names others: a tap.
    virtual unsigned primaryActionEvents() const { return ControlEventTouchUpInside; }

    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted);
    virtual void setEnabled(bool enabled);
    virtual void setSelected(bool selected);
    unsigned state() const;
    bool isTracking() const { return tracking_; }

    void touchesBegan(const TouchSet& touches, const Event* event) override;
    void touchesMoved(const TouchSet& touches, const Event* event) override;
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void touchesCancelled(const TouchSet& touches, const Event* event) override;

protected:
    // A touch this far outside the bounds still counts as inside.
    double trackingSlop = 70;
    bool touchInside(const Touch& touch) const;

private:
    struct Target {
        foundation::WeakLink<const void> target;
        Action action;
        unsigned events;
    };
    std::vector<Target> targets_;
    unsigned sendingEvents_ = 0;
    bool highlighted_ = false;
    bool enabled_ = true;
    bool selected_ = false;
    bool tracking_ = false;
    bool wasInside_ = false;
};

}  // namespace uikit
