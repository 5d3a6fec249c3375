#include "ui/CalculatorSwitch.h"

#include "ui/ColorProperty.h"
#include "ui/Theme.h"

namespace ostrelo {

std::optional<CalculatorSwitch::SwitchBackgroundColor> CalculatorSwitch::switchBackgroundColorFromRawValue(
    int rawValue) {
    return ColorProperty::caseFromRawValue(rawValue, SwitchBackgroundColor::memory);
}

CalculatorSwitch::CalculatorSwitch() = default;

CalculatorSwitch::CalculatorSwitch(const uikit::Rect& frame) : uikit::Switch(frame) {}

int CalculatorSwitch::color() const { return static_cast<int>(mySwitchBackgroundColor); }

void CalculatorSwitch::setColor(int rawValue) {
    mySwitchBackgroundColor = switchBackgroundColorFromRawValue(rawValue).value_or(SwitchBackgroundColor::standard);
}

bool CalculatorSwitch::setProperty(const std::string& key, const std::string& value, std::string& error) {
    static const std::vector<std::string> cases = {"empty", "standard", "memory"};
    return ColorProperty::setCase("color", "mySwitchBackgroundColor", cases, key, value, error,
                                  [this](int raw) { setColor(raw); },
                                  [&] { return uikit::Switch::setProperty(key, value, error); });
}

void CalculatorSwitch::layoutSubviews() {
    uikit::Switch::layoutSubviews();
    switch (mySwitchBackgroundColor) {
    case SwitchBackgroundColor::empty: setBackgroundColor(uikit::Color::clear()); break;
    case SwitchBackgroundColor::standard: setBackgroundColor(standardBackgroundColor()); break;
    case SwitchBackgroundColor::memory: setBackgroundColor(digitBackgroundColor()); break;
    }
}

}  // namespace ostrelo
