#pragma once

#include <functional>
#include <optional>
#include <string>

namespace uikit {

// Where the general pasteboard keeps its text, as the host chooses: the desktop clipboard, or a
// file that several processes share.
class PasteboardStorage {
public:
    virtual ~PasteboardStorage() = default;
    // The text, or none when the pasteboard holds no text (or it could not be read: failure()).
    virtual std::optional<std::string> read() = 0;
    // Keeps the text (or notes why it could not: failure()).
    virtual void write(const std::string& text) = 0;
    // Gets the text ready for the reads that `ready` makes, without holding up the caller's run
    // loop while another program hands it over; `ready` runs on the main run loop. Default: at
    // once, the reads ask the storage.
    virtual void prepare(const std::function<void()>& ready) { ready(); }
    // Why the last read or write since the last call did not reach the text; none when all did.
    virtual std::optional<std::string> takeFailure() { return std::nullopt; }
};

}  // namespace uikit
