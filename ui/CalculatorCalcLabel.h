#pragma once

#include "platform/uikit/AttributedString.h"
#include "platform/uikit/Label.h"

#include <optional>
#include <string>

namespace ostrelo {

// A display line. Every text given to it is shown as attributed text: exponents raised, the
// trailing nested group's outer parentheses highlighted while the coloured display is on
// (SharedSettings::coloredDisplay, read at every build), and the largest font size (up to 288)
// at which the text fits the label and its keypad, built anew at the next layout when the
// label's height, its keypad's width, the theme's colours or the background choice changed.
class CalculatorCalcLabel : public uikit::Label {
public:
    enum class LableBackgroundColor : int { empty = 0, standard = 1, memory = 2, emptydark = 3 };
    static std::optional<LableBackgroundColor> lableBackgroundColorFromRawValue(int rawValue);

    static constexpr double largestFontSize = 288;

    CalculatorCalcLabel();
    explicit CalculatorCalcLabel(const uikit::Rect& frame);

    LableBackgroundColor myLableBackgroundColor = LableBackgroundColor::standard;

    // The text as the screen set it (never the rebuilt display text).
    const std::string& text() const { return displayedText_; }
    void setText(const std::string& text) override;

    int color() const;
    void setColor(int rawValue);

    void layoutSubviews() override;
    bool setProperty(const std::string& key, const std::string& value, std::string& error) override;

    virtual uikit::AttributedString makeAttributedDisplayText(const std::string& text);

    // The display text of `text` for a label `labelHeight` high in a keypad `containerWidth`
    // wide, with the highlight setting given.
    static uikit::AttributedString makeAttributedDisplayText(const std::string& text, double labelHeight,
                                                             double containerWidth, LableBackgroundColor background,
                                                             bool highlightParentheses);

    // The width the text must fit into: the keypad's when the label sits in one, else that of
    // the superview's superview; without those, the superview's or the label's own.
    double containerWidth() const;

private:
    // What the display text was built for: the label's height, its container's width, the
    // theme's text and highlight colours and the background choice (which may set the text's
    // colour itself).
    struct FittedTo {
        double height = -1;
        double containerWidth = -1;
        uikit::Color textColor;
        uikit::Color highlightColor;
        LableBackgroundColor background = LableBackgroundColor::standard;
        friend bool operator==(const FittedTo&, const FittedTo&) = default;
    };
    FittedTo currentFit() const;
    void buildDisplayText();

    std::string displayedText_;
    FittedTo fittedTo_;
};

}  // namespace ostrelo
