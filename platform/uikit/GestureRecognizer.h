#pragma once

#include "platform/foundation/Lifetime.h"
#include "platform/uikit/Event.h"
#include "platform/uikit/Point.h"
#include "platform/uikit/Touch.h"

#include <functional>
#include <memory>
#include <vector>

namespace uikit {

class View;

// Recognises a gesture from the touches of its view, which it sees before the view does.
// States: possible 0, began 1, changed 2, ended 3 (recognised), cancelled 4, failed 5. Each
// change to began, changed, ended or cancelled calls the actions. A recogniser that begins or
// recognises cancels its view's touches when `cancelsTouchesInView`. At the end of the touch
// sequence it is reset to possible. Subclasses override the touch handlers and reset.
class GestureRecognizer {
public:
    enum State { possible = 0, began = 1, changed = 2, ended = 3, cancelled = 4, failed = 5, recognized = 3 };
    using Action = std::function<void(GestureRecognizer&)>;

    GestureRecognizer() = default;
    GestureRecognizer(Action action, std::weak_ptr<void> guard);
    virtual ~GestureRecognizer() = default;
    GestureRecognizer(const GestureRecognizer&) = delete;
    GestureRecognizer& operator=(const GestureRecognizer&) = delete;

    // The action runs only while `guard`, the lifetime of what it works on, lives (see WeakLink).
    void addTarget(Action action, std::weak_ptr<void> guard);
    State state() const { return state_; }
    void setState(State state);
    View* view() const { return view_; }
    bool enabled = true;
    bool cancelsTouchesInView = true;

    virtual void touchesBegan(const TouchSet& touches, const Event* event);
    virtual void touchesMoved(const TouchSet& touches, const Event* event);
    virtual void touchesEnded(const TouchSet& touches, const Event* event);
    virtual void touchesCancelled(const TouchSet& touches, const Event* event);
    virtual void reset() {}

    // Location of the touch being tracked (the last one seen) in `view`'s coordinates.
    Point locationInView(const View* view) const;

    // Called by the toolkit.
    void attach(View* view) { view_ = view; }
    void track(Touch* touch) { touch_ = touch; }
    void endSequence();
    std::weak_ptr<void> alive() const { return lifetime_.weak(); }

protected:
    foundation::Lifetime lifetime_;

private:
    struct Target {
        Action action;
        std::weak_ptr<void> guard;
    };
    std::vector<Target> targets_;
    State state_ = possible;
    View* view_ = nullptr;
    Touch* touch_ = nullptr;
    Point lastLocationInWindow_;
};

}  // namespace uikit
