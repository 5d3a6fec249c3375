#pragma once

#include "platform/foundation/WeakLink.h"
#include "platform/uikit/Conversation.h"
#include "platform/uikit/Message.h"
#include "platform/uikit/MessagesAppHost.h"
#include "platform/uikit/ViewController.h"

#include <memory>

namespace uikit {

// Presentation styles of a messages extension (raw values of the platform).
enum MessagesAppPresentationStyle : int {
    MessagesAppPresentationStyleCompact = 0,
    MessagesAppPresentationStyleExpanded = 1,
};

// The root controller of a messages extension. The host tells it of activation, resignation
// and presentation changes; it reads the presentation style and the active conversation and may
// ask the host to close it or to change the style. Every call of the host has a default that
// does nothing.
class MessagesAppViewController : public ViewController {
public:
    int presentationStyle() const { return presentationStyle_; }
    // The conversation the extension is shown in; null when the host has none to report.
    const std::shared_ptr<Conversation>& activeConversation() const { return activeConversation_; }
    // Asks the host to close the extension's interface; without a host nothing happens.
    void dismiss();
    // Asks the host for another presentation style; without a host nothing happens.
    void requestPresentationStyle(int style);

    virtual void willBecomeActiveWithConversation(const std::shared_ptr<Conversation>& conversation);
    virtual void didResignActiveWithConversation(const std::shared_ptr<Conversation>& conversation);
    virtual void didReceiveMessage(const Message& message, const std::shared_ptr<Conversation>& conversation);
    virtual void didStartSendingMessage(const Message& message, const std::shared_ptr<Conversation>& conversation);
    virtual void didCancelSendingMessage(const Message& message, const std::shared_ptr<Conversation>& conversation);
    virtual void willTransitionToPresentationStyle(int style);
    virtual void didTransitionToPresentationStyle(int style);

    // Set by the host: itself (a link that does not own, guarded by `guard`), the style and the
    // conversation.
    void setHost(MessagesAppHost* host, std::weak_ptr<void> guard);
    void setPresentationStyle(int style) { presentationStyle_ = style; }
    void setActiveConversation(std::shared_ptr<Conversation> conversation);

private:
    foundation::WeakLink<MessagesAppHost> host_;
    int presentationStyle_ = MessagesAppPresentationStyleCompact;
    std::shared_ptr<Conversation> activeConversation_;
};

}  // namespace uikit
