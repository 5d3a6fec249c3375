#pragma once

namespace uikit {

// What a messages-app controller asks of the host that shows it. The host acts after the
// current event, never inside the handler that asked.
class MessagesAppHost {
public:
    virtual ~MessagesAppHost() = default;
    // Closes the extension's interface.
    virtual void dismissExtension() = 0;
    // Moves the extension to another presentation style.
    virtual void requestPresentationStyle(int style) = 0;
};

}  // namespace uikit
