#include "platform/uikit/MessagesAppViewController.h"

namespace uikit {

void MessagesAppViewController::dismiss() {
    if (auto* host = host_.get()) host->dismissExtension();
}

void MessagesAppViewController::requestPresentationStyle(int style) {
    if (auto* host = host_.get()) host->requestPresentationStyle(style);
}

void MessagesAppViewController::willBecomeActiveWithConversation(const std::shared_ptr<Conversation>&) {}

void MessagesAppViewController::didResignActiveWithConversation(const std::shared_ptr<Conversation>&) {}

void MessagesAppViewController::didReceiveMessage(const Message&, const std::shared_ptr<Conversation>&) {}

void MessagesAppViewController::didStartSendingMessage(const Message&, const std::shared_ptr<Conversation>&) {}

void MessagesAppViewController::didCancelSendingMessage(const Message&, const std::shared_ptr<Conversation>&) {}

void MessagesAppViewController::willTransitionToPresentationStyle(int) {}

void MessagesAppViewController::didTransitionToPresentationStyle(int) {}

void MessagesAppViewController::setHost(MessagesAppHost* host, std::weak_ptr<void> guard) {
    host_ = foundation::WeakLink<MessagesAppHost>(host, std::move(guard));
}

void MessagesAppViewController::setActiveConversation(std::shared_ptr<Conversation> conversation) {
    activeConversation_ = std::move(conversation);
}

}  // namespace uikit
