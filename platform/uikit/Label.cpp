#include "platform/uikit/Label.h"

#include "platform/uikit/TextMeasurer.h"

#include <algorithm>
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

void Label::textDidChange() {
    fitted_.reset();
    setNeedsDisplay();
}

void Label::setText(const std::string& text) {
    text_ = text;
    attributed_ = false;
    rebuildPlainText();
    textDidChange();
}

void Label::setAttributedText(const AttributedString& text) {
    attributedText_ = text;
    text_ = text.string();
    attributed_ = true;
    textDidChange();
}

void Label::setFont(std::optional<Font> font) {
    if (font == font_) return;  // keys set their font at every layout
    font_ = std::move(font);
    if (!attributed_) rebuildPlainText();
    textDidChange();
}

void Label::setTextColor(const Color& color) {
    textColor_ = color;
    if (!attributed_) rebuildPlainText();
    textDidChange();
}

Size Label::measuredTextSize() const { return TextMeasurer::shared().measure(attributedText_); }

Size Label::sizeThatFits(Size) const { return measuredTextSize(); }

AttributedString Label::textFittedToWidth(double width) const {
    if (!adjustsFontSizeToFitWidth || numberOfLines != 1 || attributedText_.empty()) return attributedText_;
    if (fitted_ && fitted_->width == width && fitted_->minimumScaleFactor == minimumScaleFactor) return fitted_->text;
    const double measured = measuredTextSize().width;
    AttributedString text = attributedText_;
    if (measured > width && measured > 0) {
        // A hair below the exact ratio, so that rounding never leaves the text a fraction too wide.
        const double factor = std::max(std::max(width, 0.0) / measured * 0.995, minimumScaleFactor);
        text = AttributedString();
        for (const auto& run : attributedText_.runs()) {
            TextAttributes attributes = run.attributes;
            Font font = attributes.font.value_or(Font::systemFont(17));  // as the text is drawn
            font.pointSize *= factor;
            attributes.font = font;
            attributes.baselineOffset *= factor;
            text.append(run.text, attributes);
        }
    }
    fitted_ = Fitted{width, minimumScaleFactor, text};
    return text;
}

void Label::drawRect(const Rect&) { drawTextInRect(bounds()); }

void Label::drawTextInRect(const Rect& rect) {
    GraphicsContext* context = GraphicsContext::current();
    if (context == nullptr || attributedText_.empty()) return;
    context->drawText(textFittedToWidth(rect.width()), rect, textAlignment, static_cast<LineBreakMode>(lineBreakMode),
                      numberOfLines);
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
