#include "ui/CalculatorLabel.h"

#include "ui/ColorProperty.h"
#include "ui/Theme.h"

namespace ostrelo {

std::optional<CalculatorLabel::LableBackgroundColor> CalculatorLabel::lableBackgroundColorFromRawValue(int rawValue) {
    return ColorProperty::caseFromRawValue(rawValue, LableBackgroundColor::memory);
}

CalculatorLabel::CalculatorLabel() = default;

CalculatorLabel::CalculatorLabel(const uikit::Rect& frame) : uikit::Label(frame) {}

int CalculatorLabel::color() const { return static_cast<int>(myLableBackgroundColor); }

void CalculatorLabel::setColor(int rawValue) {
    myLableBackgroundColor = lableBackgroundColorFromRawValue(rawValue).value_or(LableBackgroundColor::standard);
}

bool CalculatorLabel::setProperty(const std::string& key, const std::string& value, std::string& error) {
    static const std::vector<std::string> cases = {"empty", "standard", "memory"};
    return ColorProperty::setCase("color", "myLableBackgroundColor", cases, key, value, error,
                                  [this](int raw) { setColor(raw); },
                                  [&] { return uikit::Label::setProperty(key, value, error); });
}

void CalculatorLabel::layoutSubviews() {
    uikit::Label::layoutSubviews();
    setTextColor(labelTextColor());
    switch (myLableBackgroundColor) {
    case LableBackgroundColor::empty: setBackgroundColor(uikit::Color::clear()); break;
    case LableBackgroundColor::standard: setBackgroundColor(standardBackgroundColor()); break;
    case LableBackgroundColor::memory: setBackgroundColor(digitBackgroundColor()); break;
    }
}

}  // namespace ostrelo
