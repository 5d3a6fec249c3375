#pragma once

#include "platform/foundation/WeakLink.h"
#include "platform/uikit/Event.h"
#include "platform/uikit/InputViewHost.h"
#include "platform/uikit/TextDocumentProxy.h"
#include "platform/uikit/ViewController.h"

#include <memory>

namespace uikit {

// The controller of a keyboard: its root view is the input view the host docks, it types
// through the host's text-document proxy and can switch to the next input mode. Outside a host
// the proxy takes nothing and the switch does nothing.
class InputViewController : public ViewController {
public:
    InputViewController();
    ~InputViewController() override;

    // The view the keyboard fills (the root view, loaded on first use).
    View* inputView() { return view(); }
    TextDocumentProxy& textDocumentProxy();
    void advanceToNextInputMode();
    // The action of a next-keyboard key, registered for all of its touch events: a tap (the touch
    // ending inside the key) switches once, every other event does nothing. Called outside a
    // control's action, it switches.
    void handleInputModeListFromView(View* view, const Event* event);

    // The host's document changed by other means than this keyboard. Base: nothing.
    virtual void textWillChange() {}
    virtual void textDidChange() {}

    // Set by the host: a link that does not own, guarded by `guard`.
    void setHost(InputViewHost* host, std::weak_ptr<void> guard);

private:
    class DetachedProxy;
    foundation::WeakLink<InputViewHost> host_;
    std::unique_ptr<DetachedProxy> detached_;
};

}  // namespace uikit
