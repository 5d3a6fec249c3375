#include "platform/uikit/InputViewController.h"

#include "platform/uikit/Control.h"

namespace uikit {

// The proxy of a keyboard without a host: there is no document.
class InputViewController::DetachedProxy : public TextDocumentProxy {
public:
    void insertText(const std::string&) override {}
    void deleteBackward() override {}
    std::string documentContextBeforeInput() const override { return {}; }
};

InputViewController::InputViewController() : detached_(std::make_unique<DetachedProxy>()) {}

InputViewController::~InputViewController() = default;

TextDocumentProxy& InputViewController::textDocumentProxy() {
    if (auto* host = host_.get()) return host->textDocumentProxy();
    return *detached_;
}

void InputViewController::advanceToNextInputMode() {
    if (auto* host = host_.get()) host->advanceToNextInputMode();
}

void InputViewController::handleInputModeListFromView(View* view, const Event*) {
    auto* control = dynamic_cast<Control*>(view);
    unsigned events = control != nullptr ? control->sendingEvents() : 0;
    if (events == 0 || (events & ControlEventTouchUpInside) != 0) advanceToNextInputMode();
}

void InputViewController::setHost(InputViewHost* host, std::weak_ptr<void> guard) {
    host_ = foundation::WeakLink<InputViewHost>(host, std::move(guard));
}

}  // namespace uikit
