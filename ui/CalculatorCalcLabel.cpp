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
#include <optional>
#include <vector>

namespace ostrelo {

namespace {

// Neighbouring characters raised alike and in the same colour (`marked`: the highlight's) form
// one piece. The pieces do not depend on the font size, and each gives one run of the text.
struct DisplayPiece {
    std::string text;
    int level;
    bool marked;
};

// The group that ends a text, read from its end (`at(i)` is the i-th character): its opening
// "(", and whether the last ")" is the only one inside it.
struct TrailingGroup {
    bool simple = false;
    std::optional<std::size_t> opening;
};

template <class At>
TrailingGroup trailingGroup(std::size_t n, At at) {
    TrailingGroup group;
    if (n == 0 || !at(n - 1, ')')) return group;
    int count = 0;
    for (std::size_t i = n; i-- > 0;) {
        if (at(i, ')')) {
            ++count;
            group.simple = count == 1;
        } else if (at(i, '(') && --count == 0) {
            group.opening = i;
            break;
        }
    }
    return group;
}

// A text with raised exponents, character by character.
std::vector<DisplayPiece> raisedPieces(const std::string& text, bool highlightParentheses) {
    const ExponentLevels display = exponentLevels(text);
    const auto& chars = display.characters;
    const std::size_t n = chars.size();
    const TrailingGroup group =
        trailingGroup(n, [&chars](std::size_t i, char c) { return chars[i].size() == 1 && chars[i][0] == c; });
    const bool highlight = highlightParentheses && !group.simple;
    std::vector<DisplayPiece> pieces;
    for (std::size_t i = 0; i < n; ++i) {
        const bool marked = highlight && ((i == n - 1 && chars[i] == ")") || (group.opening && *group.opening == i));
        const int level = display.levels[i];
        if (!pieces.empty() && pieces.back().level == level && pieces.back().marked == marked)
            pieces.back().text += chars[i];
        else
            pieces.push_back({chars[i], level, marked});
    }
    return pieces;
}

// The pieces of a display text. A text without exponents (most, and every long calculation of
// numbers and operators) is cut at its marked parentheses alone, without a pass per character:
// "(" and ")" are single bytes that no other character's bytes contain.
std::vector<DisplayPiece> displayPieces(const std::string& text, bool highlightParentheses) {
    if (text.find('^') != std::string::npos || text.find("⁻¹") != std::string::npos)
        return raisedPieces(text, highlightParentheses);
    if (text.empty()) return {};
    const TrailingGroup group = trailingGroup(text.size(), [&text](std::size_t i, char c) { return text[i] == c; });
    if (!highlightParentheses || group.simple || text.back() != ')') return {{text, 0, false}};
    std::vector<DisplayPiece> pieces;
    const std::size_t last = text.size() - 1;
    std::size_t from = 0;
    if (group.opening) {
        if (*group.opening > 0) pieces.push_back({text.substr(0, *group.opening), 0, false});
        pieces.push_back({"(", 0, true});
        from = *group.opening + 1;
    }
    if (from < last) pieces.push_back({text.substr(from, last - from), 0, false});
    pieces.push_back({")", 0, true});
    return pieces;
}

// Whether a long text without exponents is too wide for the keypad at every size from
// `smallest` on: its last characters alone are a quarter wider than the room at that size (a
// text is at least as wide as its end, and wider at a larger size). Such a text is not measured
// whole at every size the search tries.
bool fitsAtNoSize(const std::vector<DisplayPiece>& pieces, double smallest, const uikit::Color& colour,
                  double containerWidth) {
    constexpr std::size_t endBytes = 128;
    if (pieces.empty()) return false;
    for (const DisplayPiece& piece : pieces)
        if (piece.level != 0) return false;
    std::string end;
    for (std::size_t i = pieces.size(); i-- > 0 && end.size() < 2 * endBytes;) end.insert(0, pieces[i].text);
    if (end.size() < 2 * endBytes) return false;
    std::size_t from = end.size() - endBytes;
    while (from < end.size() && (static_cast<unsigned char>(end[from]) & 0xC0) == 0x80) ++from;
    uikit::AttributedString tail;
    makeAttributedText(tail, end.substr(from), smallest, colour);
    return uikit::TextMeasurer::shared().measure(tail).width > 1.25 * 0.95 * containerWidth;
}

}  // namespace

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

    uikit::Color base = labelTextColor();
    if (background == LableBackgroundColor::emptydark) base = uikit::Color::white();
    if (background == LableBackgroundColor::empty) base = uikit::Color::black();

    const std::vector<DisplayPiece> pieces = displayPieces(text, highlightParentheses);
    const double height = labelHeight;
    uikit::AttributedString built;
    if (fitsAtNoSize(pieces, lo, base, containerWidth)) {
        // Every size the search tries is too wide: it ends on the size below, built alone.
        double size = lo + (hi - lo) * 0.5;
        while (size != lo && size != hi && (hi = size - 1) >= lo) size = lo + (hi - lo) * 0.5;
        for (const DisplayPiece& piece : pieces)
            makeAttributedText(built, piece.text, size, piece.marked ? equalBackgroundColor() : base);
        return built;
    }
    while (true) {
        const double size = lo + (hi - lo) * 0.5;
        built = uikit::AttributedString();
        for (const DisplayPiece& piece : pieces) {
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
