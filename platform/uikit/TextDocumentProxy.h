#pragma once

#include <string>

namespace uikit {

// The document a keyboard types into, as the keyboard sees it: the caret stays at the end of
// the text.
class TextDocumentProxy {
public:
    virtual ~TextDocumentProxy() = default;
    // Inserts at the caret.
    virtual void insertText(const std::string& text) = 0;
    // Removes the one user-perceived character before the caret; nothing when there is none.
    virtual void deleteBackward() = 0;
    // The text before the caret.
    virtual std::string documentContextBeforeInput() const = 0;
};

}  // namespace uikit
