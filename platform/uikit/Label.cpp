#include "platform/uikit/Label.h"

#include "platform/uikit/TextMeasurer.h"

#include <cstdlib>

namespace uikit {

Label::Label() { setUserInteractionEnabled(false); }

Label::Label(const Rect& frame) : Label() { setFrame(frame); }

void Label::rebuildPlainText() {
    TextAttributes attributes;
    attributes.font = effectiveFont();
    attributes.foregroundColor = textColor_;
    attributedText_ = AttributedString(text_, attributes);
}

void Label::setText(const std::string& text) {
    text_ = text;
    attributed_ = false;
    rebuildPlainText();
    setNeedsDisplay();
}

void Label::setAttributedText(const AttributedString& text) {
    attributedText_ = text;
    text_ = text.string();
    attributed_ = true;
    setNeedsDisplay();
}

void Label::setFont(std::optional<Font> font) {
    font_ = std::move(font);
    if (!attributed_) rebuildPlainText();
    setNeedsDisplay();
}

void Label::setTextColor(const Color& color) {
    textColor_ = color;
    if (!attributed_) rebuildPlainText();
    setNeedsDisplay();
}

Size Label::measuredTextSize() const { return TextMeasurer::shared().measure(attributedText_); }

Size Label::sizeThatFits(Size) const { return measuredTextSize(); }

void Label::drawRect(const Rect&) { drawTextInRect(bounds()); }

void Label::drawTextInRect(const Rect& rect) {
    GraphicsContext* context = GraphicsContext::current();
    if (context == nullptr || attributedText_.empty()) return;
    context->drawText(attributedText_, rect, textAlignment, static_cast<LineBreakMode>(lineBreakMode), numberOfLines);
}

bool Label::setProperty(const std::string& key, const std::string& value, std::string& error) {
    if (key == "text") { setText(value); return true; }
    if (key == "textColor") {
        Color c;
        if (!Color::parse(value.c_str(), c)) { error = "bad colour \"" + value + "\" for property \"textColor\""; return false; }
        setTextColor(c);
        return true;
    }
    if (key == "textAlignment") {
        if (value == "left") textAlignment = TextAlignment::left;
        else if (value == "center") textAlignment = TextAlignment::center;
        else if (value == "right") textAlignment = TextAlignment::right;
        else { error = "bad alignment \"" + value + "\""; return false; }
        return true;
    }
    if (key == "font") {
        // "Name size"
        auto space = value.rfind(' ');
        double size = space == std::string::npos ? 17 : std::atof(value.c_str() + space + 1);
        auto font = Font::named(value.substr(0, space), size);
        if (!font) { error = "unknown font \"" + value + "\""; return false; }
        setFont(font);
        return true;
    }
    if (key == "numberOfLines") { numberOfLines = std::atoi(value.c_str()); return true; }
    if (key == "lineBreakMode") { lineBreakMode = std::atoi(value.c_str()); return true; }
    return View::setProperty(key, value, error);
}

}  // namespace uikit
