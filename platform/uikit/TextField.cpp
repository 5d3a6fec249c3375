#include "platform/uikit/TextField.h"

#include "platform/foundation/Characters.h"
#include "platform/uikit/GraphicsContext.h"
#include "platform/uikit/TextMeasurer.h"

#include <algorithm>

namespace uikit {

namespace {

constexpr double caretWidth = 2;
constexpr const char* returnCharacters = "\r";
constexpr const char* backspaceCharacters = "\b";

// Return, Backspace, or text without control characters.
bool takes(const Key& key) {
    const std::string& c = key.characters;
    if (c == returnCharacters || c == backspaceCharacters) return true;
    return !c.empty() && std::none_of(c.begin(), c.end(), [](char ch) {
        auto byte = static_cast<unsigned char>(ch);
        return byte < 0x20 || byte == 0x7F;
    });
}

PressSet keysTaken(const PressSet& presses, bool taken) {
    PressSet out;
    for (const Press* press : presses)
        if ((press->key && takes(*press->key)) == taken) out.push_back(press);
    return out;
}

}  // namespace

TextField::TextField() { setFrame(Rect(0, 0, 120, 34)); }

TextField::TextField(const Rect& frame) : Control(frame) {}

void TextField::setText(const std::string& text) {
    text_ = text;
    setNeedsDisplay();
}

void TextField::setPlaceholder(const std::string& placeholder) {
    placeholder_ = placeholder;
    setNeedsDisplay();
}

void TextField::setFont(std::optional<Font> font) {
    font_ = std::move(font);
    setNeedsDisplay();
}

void TextField::setTextColor(const Color& color) {
    textColor_ = color;
    setNeedsDisplay();
}

void TextField::setDelegate(TextFieldDelegate* delegate, std::weak_ptr<void> guard) {
    delegate_ = foundation::WeakLink<TextFieldDelegate>(delegate, std::move(guard));
}

bool TextField::canBecomeFirstResponder() const { return (state() & ControlStateDisabled) == 0; }

bool TextField::becomeFirstResponder() {
    if (!View::becomeFirstResponder()) return false;
    setNeedsDisplay();
    return true;
}

bool TextField::resignFirstResponder() {
    const bool wasEditing = isEditing();
    View::resignFirstResponder();
    if (!wasEditing) return true;
    setNeedsDisplay();
    // The delegate may end this field: nothing of it is used after the call.
    if (TextFieldDelegate* delegate = delegate_.get()) delegate->textFieldDidEndEditing(*this);
    return true;
}

void TextField::touchesEnded(const TouchSet& touches, const Event* event) {
    const bool wasTracking = isTracking();
    const bool inside = !touches.empty() && touchInside(*touches.front());
    auto alive = this->alive();
    Control::touchesEnded(touches, event);
    if (!alive.expired() && wasTracking && inside) becomeFirstResponder();
}

void TextField::pressesBegan(const PressSet& presses, const Event* event) {
    auto alive = this->alive();
    for (const Press* press : keysTaken(presses, true)) {
        take(*press->key);
        if (alive.expired()) return;
    }
    if (auto others = keysTaken(presses, false); !others.empty()) Control::pressesBegan(others, event);
}

void TextField::pressesEnded(const PressSet& presses, const Event* event) {
    if (auto others = keysTaken(presses, false); !others.empty()) Control::pressesEnded(others, event);
}

void TextField::take(const Key& key) {
    if (!isEditing()) return;
    if (key.characters == returnCharacters) {
        resignFirstResponder();
        return;
    }
    if (key.characters == backspaceCharacters) text_ = foundation::Characters::dropLast(text_, 1);
    else text_ += key.characters;
    setNeedsDisplay();
}

// The text from the left inset. Text wider than the room is cut at its end, or, while editing,
// drawn so that its end, where the caret is, stays in view.
void TextField::drawRect(const Rect&) {
    GraphicsContext* context = GraphicsContext::current();
    if (context == nullptr) return;
    const Rect b = bounds();
    const Rect inner(b.minX() + textInset, b.minY(), std::max(0.0, b.width() - 2 * textInset), b.height());
    TextAttributes attributes;
    attributes.font = effectiveFont();
    context->saveState();
    context->clipToRect(inner);
    const bool editing = isEditing();
    double caretX = inner.minX();
    if (!text_.empty()) {
        attributes.foregroundColor = textColor_;
        const AttributedString shown(text_, attributes);
        const double width = TextMeasurer::shared().measure(shown).width;
        const double room = std::max(0.0, inner.width() - caretWidth);
        if (editing && width > room) {
            const double x = inner.minX() + room - width;
            context->drawText(shown, Rect(x, inner.minY(), width + inner.width(), inner.height()), TextAlignment::left,
                              LineBreakByClipping, 1);
            caretX = x + width;
        } else {
            context->drawText(shown, inner, TextAlignment::left, LineBreakByTruncatingTail, 1);
            caretX = inner.minX() + width;
        }
    } else if (!placeholder_.empty()) {
        attributes.foregroundColor = Color{textColor_.red, textColor_.green, textColor_.blue, textColor_.alpha * 0.4};
        context->drawText(AttributedString(placeholder_, attributes), inner, TextAlignment::left,
                          LineBreakByTruncatingTail, 1);
    }
    if (editing) {
        attributes.foregroundColor.reset();
        const double height = std::min(inner.height(), TextMeasurer::shared().measure(AttributedString("X", attributes)).height);
        context->setFillColor(tintColor.value_or(textColor_));
        context->fillRect(Rect(caretX, inner.midY() - height / 2, caretWidth, height));
    }
    context->restoreState();
}

}  // namespace uikit
