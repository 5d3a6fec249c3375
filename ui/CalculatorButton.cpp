#include "ui/CalculatorButton.h"

#include "platform/uikit/Font.h"
#include "platform/uikit/RectCorner.h"
#include "ui/ColorProperty.h"
#include "ui/Theme.h"

#include <algorithm>

namespace ostrelo {

namespace {

// Removes the last sublayer of that name.
void removeLastNamed(uikit::Layer& layer, const std::string& name) {
    if (uikit::Layer* old = layer.sublayerNamed(name)) old->removeFromSuperlayer();
}

void addLine(uikit::Layer& layer, const std::string& name, const uikit::Color& color, const uikit::Rect& frame) {
    auto line = uikit::Layer::make();
    line->backgroundColor = color;
    line->name = name;
    line->setFrame(frame);
    layer.addSublayer(std::move(line));
}

}  // namespace

CalculatorButton::CalculatorButton() { fitTitle(); }

CalculatorButton::CalculatorButton(const uikit::Rect& frame) : uikit::Button(frame) { fitTitle(); }

int CalculatorButton::type() const { return static_cast<int>(myButtonType); }

void CalculatorButton::setType(int rawValue) {
    myButtonType = ColorProperty::caseFromRawValue(rawValue, MyButtonType::choose).value_or(MyButtonType::nonDigit);
}

std::string CalculatorButton::normalTitle() const { return titleForState(uikit::ControlStateNormal).value_or(""); }

bool CalculatorButton::setProperty(const std::string& key, const std::string& value, std::string& error) {
    static const std::vector<std::string> cases = {
        "nonDigit",          "digit",           "operant",           "memory",           "memoryRecall",
        "clear",             "equal",           "setup",             "setupToday",       "memoryToday",
        "memoryRecallToday", "nonDigitTopLeft", "nonDigitTopRight",  "nonDigitBottomLeft", "nonDigitBottomRight",
        "equalBottomRight",  "choose"};
    return ColorProperty::setCase("type", "myButtonType", cases, key, value, error, [this](int raw) { setType(raw); },
                                  [&] { return uikit::Button::setProperty(key, value, error); });
}

uikit::Rect CalculatorButton::untransformedFrame() const {
    const uikit::Rect b = bounds();
    return {center().x - b.width() / 2, center().y - b.height() / 2, b.width(), b.height()};
}

uikit::Color CalculatorButton::borderLineColor() const {
    if (myButtonType == MyButtonType::setupToday) return uikit::Color::clear();
    if (myButtonType == MyButtonType::setup) return standardBackgroundColor();
    return borderColor();
}

void CalculatorButton::layoutSubviews() {
    uikit::Button::layoutSubviews();
    exclusiveTouch = true;

    // Lines follow the key's place at rest, so a key shrunk by a press keeps the lines it has.
    const uikit::Rect rest = untransformedFrame();
    removeLastNamed(layer(), "borderTop");
    if (rest.origin.y > 0) addLine(layer(), "borderTop", borderLineColor(), {0, 0, rest.size.width, borderWidth});
    removeLastNamed(layer(), "borderLeft");
    if (rest.origin.x > 0) addLine(layer(), "borderLeft", borderLineColor(), {0, 0, borderWidth, rest.size.height});

    const double w = bounds().width();
    const double h = bounds().height();
    // A key without width or height keeps the font it has.
    if (w > 0 && h > 0) titleLabel()->setFont(uikit::Font::named(themeFontName(), (h / 3) * std::min(w / h, 1.0)));

    applyButtonColors();

    switch (myButtonType) {
    case MyButtonType::nonDigitTopLeft: roundCorners(uikit::RectCornerTopLeft, cornerRadius); break;
    case MyButtonType::nonDigitTopRight: roundCorners(uikit::RectCornerTopRight, cornerRadius); break;
    case MyButtonType::nonDigitBottomLeft: roundCorners(uikit::RectCornerBottomLeft, cornerRadius); break;
    case MyButtonType::nonDigitBottomRight:
    case MyButtonType::equalBottomRight: roundCorners(uikit::RectCornerBottomRight, cornerRadius); break;
    default: break;
    }
}

void CalculatorButton::fitTitle() {
    // A title too long for the key is drawn smaller, and is cut only below half its size.
    titleLabel()->adjustsFontSizeToFitWidth = true;
    titleLabel()->minimumScaleFactor = titleMinimumScale;
}

uikit::Rect CalculatorButton::titleRectForContentRect(const uikit::Rect& contentRect) const {
    const double margin = titleMargin * std::min(contentRect.width(), contentRect.height());
    return {contentRect.minX() + margin, contentRect.minY(), std::max(0.0, contentRect.width() - 2 * margin),
            contentRect.height()};
}

bool CalculatorButton::compactPortrait() const { return traitCollection().compactWidthRegularHeight(); }

void CalculatorButton::storeNormalTitleColor(const uikit::Color& color) {
    setTitleColor(color, uikit::ControlStateNormal);
}

void CalculatorButton::applyButtonColors() {
    using T = MyButtonType;
    const bool compact = compactPortrait();
    const bool memoryFilled = myButtonState == ButtonState::memoryNotEmpty;
    const uikit::Color memoryRecallTitle =
        memoryFilled ? memoryFilledTitleColor() : (compact ? memoryKeyTitleColor() : functionTitleColor());

    uikit::Color background;
    uikit::Color title;
    switch (myButtonType) {
    case T::nonDigit:
    case T::nonDigitTopLeft:
    case T::nonDigitTopRight:
    case T::nonDigitBottomLeft:
    case T::nonDigitBottomRight:
        background = functionBackgroundColor();
        title = functionTitleColor();
        break;
    case T::digit:
        background = digitBackgroundColor();
        title = digitTitleColor();
        break;
    case T::operant:
        background = operatorBackgroundColor();
        title = operatorTitleColor();
        break;
    case T::memory:
        background = compact ? memoryKeyBackgroundColor() : functionBackgroundColor();
        title = memoryKeyTitleColor();
        break;
    case T::memoryRecall:
        background = compact ? memoryKeyBackgroundColor() : functionBackgroundColor();
        title = memoryRecallTitle;
        break;
    case T::clear:
        background = clearKeyBackgroundColor();
        title = clearKeyTitleColor();
        break;
    case T::equal:
    case T::equalBottomRight:
        background = !myButtonState || myButtonState == ButtonState::success ? equalBackgroundColor()
                                                                             : equalErrorBackgroundColor();
        title = equalTitleColor();
        break;
    case T::setup:
        background = standardBackgroundColor();
        title = operatorTitleColor();
        break;
    case T::setupToday:
        setBackgroundColor(uikit::Color::clear());
        storeNormalTitleColor(uikit::Color::black());
        return;
    case T::memoryToday:
        background = memoryKeyBackgroundColor();
        title = memoryKeyTitleColor();
        break;
    case T::memoryRecallToday:
        background = memoryKeyBackgroundColor();
        title = memoryRecallTitle;
        break;
    case T::choose:
        background = functionBackgroundColor();
        title = functionTitleColor();
        tintColor = functionTitleColor();
        break;
    }
    setBackgroundColor(background);
    const auto current = titleColorForState(uikit::ControlStateNormal);
    if (!current || !(*current == title)) storeNormalTitleColor(title);
}

}  // namespace ostrelo
