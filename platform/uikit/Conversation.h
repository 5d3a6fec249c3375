#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace uikit {

// A conversation of the messaging host that shows an extension. Inserted text lands in the
// host's input field as plain text for the user to send; the extension sends nothing itself.
// The host makes the conversation and takes what is inserted while it lives.
class Conversation {
public:
    // Gets no error once the text was taken, else the reason.
    using Completion = std::function<void(const std::optional<std::string>& error)>;
    using Receiver = std::function<void(const std::string& text)>;

    // `receiver` takes the inserted texts while `guard`, the host's lifetime, lives.
    Conversation(Receiver receiver, std::weak_ptr<void> guard);

    // Puts `text` into the host's input field. The completion, when given, runs at the next turn
    // of the main run loop.
    void insertText(const std::string& text, Completion completion = {});

private:
    Receiver receiver_;
    std::weak_ptr<void> guard_;
};

}  // namespace uikit
