#pragma once

#include "platform/host/WrappingTextView.h"
#include "platform/uikit/TextDocumentProxy.h"
#include "platform/uikit/View.h"

#include <string>

namespace host {

// The multi-line text field of a keyboard's host window. The caret stays at the end: typing
// appends, deleting removes the last user-perceived character, and the view keeps the end of
// the text in view. It is also the document proxy the keyboard types through.
class HostTextField : public uikit::View, public uikit::TextDocumentProxy {
public:
    HostTextField();

    const std::string& text() const { return text_; }
    void setText(const std::string& text);
    // The colours of the field's background and text.
    void setColors(const uikit::Color& background, const uikit::Color& text);
    const WrappingTextView& textView() const { return *textView_; }

    void insertText(const std::string& text) override;
    void deleteBackward() override;
    std::string documentContextBeforeInput() const override { return text_; }

    void layoutSubviews() override;

private:
    std::string text_;
    WrappingTextView* textView_ = nullptr;
};

}  // namespace host
