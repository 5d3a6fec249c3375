#include "ui/CalculatorCalcLabel.h"

#include "engine/SharedSettings.h"
#include "platform/uikit/TextMeasurer.h"
#include "ui/AttributedText.h"
#include "ui/CalculatorScrollView.h"
#include "ui/CalculatorView.h"
#include "ui/ColorProperty.h"
#include "ui/ExponentLevels.h"
#include "ui/Theme.h"

#include <cmath>

namespace ostrelo {

std::optional<CalculatorCalcLabel::LableBackgroundColor> CalculatorCalcLabel::lableBackgroundColorFromRawValue(
    int rawValue) {
    return ColorProperty::caseFromRawValue(rawValue, LableBackgroundColor::emptydark);
}

CalculatorCalcLabel::CalculatorCalcLabel() = default;

CalculatorCalcLabel::CalculatorCalcLabel(const uikit::Rect& frame) : uikit::Label(frame) {}

int CalculatorCalcLabel::color() const { return static_cast<int>(myLableBackgroundColor); }

void CalculatorCalcLabel::setColor(int rawValue) {
    myLableBackgroundColor = lableBackgroundColorFromRawValue(rawValue).value_or(LableBackgroundColor::standard);
}

bool CalculatorCalcLabel::setProperty(const std::string& key, const std::string& value, std::string& error) {
    if (key == "text") {
        setText(value);
        return true;
    }
    static const std::vector<std::string> cases = {"empty", "standard", "memory", "emptydark"};
    return ColorProperty::setCase("color", "myLableBackgroundColor", cases, key, value, error,
                                  [this](int raw) { setColor(raw); },
                                  [&] { return uikit::Label::setProperty(key, value, error); });
}

void CalculatorCalcLabel::setText(const std::string& text) {
    displayedText_ = text;
    uikit::Label::setText(text);
    uikit::Label::setText("");
    buildDisplayText();
    setNeedsLayout();
    layoutIfNeeded();
    if (auto* strip = dynamic_cast<CalculatorScrollView*>(superview())) strip->displayLineDidChange();
}

CalculatorCalcLabel::FittedTo CalculatorCalcLabel::currentFit() const {
    return {bounds().height(), containerWidth(), labelTextColor(), equalBackgroundColor(), myLableBackgroundColor};
}

void CalculatorCalcLabel::buildDisplayText() {
    fittedTo_ = currentFit();
    setAttributedText(makeAttributedDisplayText(displayedText_));
}

void CalculatorCalcLabel::layoutSubviews() {
    uikit::Label::layoutSubviews();
    // A new height or container width (a rotation, a resized window) fits the text anew; a new
    // theme or background choice colours it anew.
    if (!displayedText_.empty() && !(fittedTo_ == currentFit())) buildDisplayText();
    switch (myLableBackgroundColor) {
    case LableBackgroundColor::empty:
    case LableBackgroundColor::emptydark: setBackgroundColor(uikit::Color::clear()); break;
    case LableBackgroundColor::standard: setBackgroundColor(standardBackgroundColor()); break;
    case LableBackgroundColor::memory: setBackgroundColor(digitBackgroundColor()); break;
    }
}

double CalculatorCalcLabel::containerWidth() const {
    const uikit::View* parent = superview();
    if (parent == nullptr) return bounds().width();
    if (dynamic_cast<const CalculatorView*>(parent) != nullptr) return parent->bounds().width();
    if (const uikit::View* grandparent = parent->superview()) return grandparent->bounds().width();
    return parent->bounds().width();
}

uikit::AttributedString CalculatorCalcLabel::makeAttributedDisplayText(const std::string& text) {
    // The setting is read once for the whole text.
    const bool highlight = SharedSettings::open()->boolForKey(SharedSettings::coloredDisplay);
    return makeAttributedDisplayText(text, bounds().height(), containerWidth(), myLableBackgroundColor, highlight);
}

uikit::AttributedString CalculatorCalcLabel::makeAttributedDisplayText(const std::string& text, double labelHeight,
                                                                       double containerWidth,
                                                                       LableBackgroundColor background,
                                                                       bool highlightParentheses) {
    double lo = std::trunc(labelHeight * 0.3);
    double hi = largestFontSize;
    if (!(lo <= hi)) return {};

    const ExponentLevels display = exponentLevels(text);
    const auto& chars = display.characters;
    const std::size_t n = chars.size();

    // The trailing group: its opening partner, and whether it holds another ")".
    bool simple = false;
    std::optional<std::size_t> opening;
    if (n > 0 && chars.back() == ")") {
        int count = 0;
        for (std::size_t i = n; i-- > 0;) {
            if (chars[i] == ")") {
                ++count;
                simple = count == 1;
            } else if (chars[i] == "(") {
                if (--count == 0) {
                    opening = i;
                    break;
                }
            }
        }
    }
    const bool highlight = highlightParentheses && !simple;

    uikit::Color base = labelTextColor();
    if (background == LableBackgroundColor::emptydark) base = uikit::Color::white();
    if (background == LableBackgroundColor::empty) base = uikit::Color::black();

    // Neighbouring characters raised alike and in the same colour form one piece: the pieces do
    // not depend on the size tried, and each gives one run of the text at every size.
    struct Piece {
        std::string text;
        int level;
        bool marked;
    };
    std::vector<Piece> pieces;
    for (std::size_t i = 0; i < n; ++i) {
        const bool marked = highlight && ((i == n - 1 && chars[i] == ")") || (opening && *opening == i));
        const int level = display.levels[i];
        if (!pieces.empty() && pieces.back().level == level && pieces.back().marked == marked)
            pieces.back().text += chars[i];
        else
            pieces.push_back({chars[i], level, marked});
    }

    const double height = labelHeight;
    uikit::AttributedString built;
    while (true) {
        const double size = lo + (hi - lo) * 0.5;
        built = uikit::AttributedString();
        for (const Piece& piece : pieces) {
            const uikit::Color& colour = piece.marked ? equalBackgroundColor() : base;
            if (piece.level == 0) {
                makeAttributedText(built, piece.text, size, colour);
            } else {
                makeExponentText(built, piece.text, piece.level, size, colour);
            }
        }
        const uikit::Size measured = uikit::TextMeasurer::shared().measure(built);
        const double w = measured.width;
        const double h = measured.height;
        if (size == lo || size == hi) break;
        if (0.75 * height - h >= 0 && 0.95 * containerWidth - w >= 0) {
            if (0.75 * height - h == 0 || w == 0) break;
            lo = size + 1;
            if (lo > hi) break;
        } else {
            hi = size - 1;
            if (hi < lo) break;
        }
    }
    return built;
}

}  // namespace ostrelo
