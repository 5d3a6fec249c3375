#pragma once

#include "platform/uikit/AttributedString.h"
#include "platform/uikit/Font.h"
#include "platform/uikit/GraphicsContext.h"
#include "platform/uikit/View.h"

#include <optional>
#include <string>

namespace uikit {

// Text on one line (or more, with numberOfLines). Plain text is drawn with `font` (none: the
// system font at 17) and `textColor`; attributed text carries its own attributes. Setting either
// replaces the other. Labels start with user interaction off.
class Label : public View {
public:
    Label();
    explicit Label(const Rect& frame);

    const std::string& text() const { return text_; }
    virtual void setText(const std::string& text);
    const AttributedString& attributedText() const { return attributedText_; }
    virtual void setAttributedText(const AttributedString& text);
    const std::optional<Font>& font() const { return font_; }
    void setFont(std::optional<Font> font);
    const Color& textColor() const { return textColor_; }
    void setTextColor(const Color& color);
    TextAlignment textAlignment = TextAlignment::left;
    int lineBreakMode = LineBreakByTruncatingTail;
    int numberOfLines = 1;
    // Single-line text wider than the label is drawn smaller, down to `minimumScaleFactor` of
    // its size (0: no limit), before it is cut by the line-break mode.
    bool adjustsFontSizeToFitWidth = false;
    double minimumScaleFactor = 0;

    // The font used for plain text.
    Font effectiveFont() const { return font_.value_or(Font::systemFont(17)); }
    // Size of the text on one line, by the shared text measurer.
    Size measuredTextSize() const;
    Size sizeThatFits(Size size) const override;
    // The text as drawn in a rectangle `width` wide: shrunk to fit when the label adjusts its
    // font size, else as set.
    AttributedString textFittedToWidth(double width) const;
    void drawRect(const Rect& rect) override;
    virtual void drawTextInRect(const Rect& rect);

    bool setProperty(const std::string& key, const std::string& value, std::string& error) override;

private:
    void rebuildPlainText();
    void textDidChange();
    std::string text_;
    AttributedString attributedText_;
    std::optional<Font> font_;
    Color textColor_ = Color::black();
    bool attributed_ = false;
    // The last fitted text, for the width and lower limit it was fitted to.
    struct Fitted {
        double width;
        double minimumScaleFactor;
        AttributedString text;
    };
    mutable std::optional<Fitted> fitted_;
};

}  // namespace uikit
