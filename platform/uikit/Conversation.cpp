#include "platform/uikit/Conversation.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

namespace uikit {

Conversation::Conversation(Receiver receiver, std::weak_ptr<void> guard)
    : receiver_(std::move(receiver)), guard_(std::move(guard)) {}

void Conversation::insertText(const std::string& text, Completion completion) {
    std::optional<std::string> error;
    if (guard_.expired() || !receiver_) {
        error = "the conversation is closed";
        foundation::Log::warning("conversation: text not inserted: " + *error);
    } else {
        receiver_(text);
    }
    if (completion) foundation::RunLoop::main().schedule(0, [completion, error] { completion(error); });
}

}  // namespace uikit
