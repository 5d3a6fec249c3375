#pragma once

#include "platform/uikit/Event.h"
#include "platform/uikit/Press.h"
#include "platform/uikit/Touch.h"

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
};

}  // namespace uikit
