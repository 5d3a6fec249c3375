#pragma once

#include <optional>
#include <string>

namespace uikit {

// Where the general pasteboard keeps its text, as the host chooses: the desktop clipboard, or a
// file that several processes share.
class PasteboardStorage {
public:
    virtual ~PasteboardStorage() = default;
    // The text, or none when the pasteboard holds no text.
    virtual std::optional<std::string> read() = 0;
    virtual void write(const std::string& text) = 0;
};

}  // namespace uikit
