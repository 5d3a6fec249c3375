#pragma once

#include "platform/foundation/WeakLink.h"
#include "platform/uikit/Control.h"
#include "platform/uikit/Font.h"
#include "platform/uikit/TextFieldDelegate.h"

#include <optional>
#include <string>

namespace uikit {

// One line of editable text. A tap makes it the window's first responder; while it is, it takes
// the characters of hardware key presses and Backspace (which removes the last character), the
// caret stays at the end and Return ends editing. Presses it does not take (no characters, or
// control characters other than Return and Backspace) go on to the next responder. Without
// text, the placeholder shows dimmed. There is no selection and no caret movement.
class TextField : public Control {
public:
    TextField();
    explicit TextField(const Rect& frame);

    const std::string& text() const { return text_; }
    // Replaces the text; the delegate hears nothing.
    void setText(const std::string& text);
    const std::string& placeholder() const { return placeholder_; }
    void setPlaceholder(const std::string& placeholder);
    const std::optional<Font>& font() const { return font_; }
    void setFont(std::optional<Font> font);
    Font effectiveFont() const { return font_.value_or(Font::systemFont(17)); }
    const Color& textColor() const { return textColor_; }
    void setTextColor(const Color& color);

    // Not owned: reads as none once its guard has expired (see WeakLink).
    TextFieldDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(TextFieldDelegate* delegate, std::weak_ptr<void> guard);

    // Editing is being the first responder.
    bool isEditing() const { return isFirstResponder(); }
    bool canBecomeFirstResponder() const override;
    bool becomeFirstResponder() override;
    // Ends editing: the delegate hears of it when the field was editing.
    bool resignFirstResponder() override;

    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void pressesBegan(const PressSet& presses, const Event* event) override;
    void pressesEnded(const PressSet& presses, const Event* event) override;
    void drawRect(const Rect& rect) override;

    // Space between the bounds and the text on the left and right.
    static constexpr double textInset = 8;

private:
    void take(const Key& key);

    std::string text_;
    std::string placeholder_;
    std::optional<Font> font_;
    Color textColor_ = Color::black();
    foundation::WeakLink<TextFieldDelegate> delegate_;
};

}  // namespace uikit
