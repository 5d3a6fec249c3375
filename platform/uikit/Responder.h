#pragma once

#include "platform/foundation/UserActivity.h"
#include "platform/uikit/Event.h"
#include "platform/uikit/Press.h"
#include "platform/uikit/Touch.h"

#include <memory>

namespace uikit {

// A receiver of touches and presses. The base handlers pass everything to the next responder.
class Responder {
public:
    virtual ~Responder() = default;
    virtual Responder* nextResponder() const { return nullptr; }
    virtual bool canBecomeFirstResponder() const { return false; }

    virtual void touchesBegan(const TouchSet& touches, const Event* event);
    virtual void touchesMoved(const TouchSet& touches, const Event* event);
    virtual void touchesEnded(const TouchSet& touches, const Event* event);
    virtual void touchesCancelled(const TouchSet& touches, const Event* event);
    virtual void pressesBegan(const PressSet& presses, const Event* event);
    virtual void pressesEnded(const PressSet& presses, const Event* event);

    // The activity this responder publishes (see foundation::UserActivity), with the hooks that
    // refresh an activity's user info and continue a calculation from one. Base: nothing.
    std::shared_ptr<foundation::UserActivity> userActivity;
    virtual void updateUserActivityState(foundation::UserActivity& activity) { (void)activity; }
    virtual void restoreUserActivityState(const foundation::UserActivity& activity) { (void)activity; }
};

}  // namespace uikit
