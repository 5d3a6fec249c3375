#include "ui/CalculatorScrollView.h"

#include "ui/ColorProperty.h"
#include "ui/Theme.h"

namespace ostrelo {

std::optional<CalculatorScrollView::ScrollBackgroundColor> CalculatorScrollView::scrollBackgroundColorFromRawValue(
    int rawValue) {
    return ColorProperty::caseFromRawValue(rawValue, ScrollBackgroundColor::memory);
}

CalculatorScrollView::CalculatorScrollView() = default;

CalculatorScrollView::CalculatorScrollView(const uikit::Rect& frame) : uikit::ScrollView(frame) {}

int CalculatorScrollView::color() const { return static_cast<int>(myScrollBackgroundColor); }

void CalculatorScrollView::setColor(int rawValue) {
    myScrollBackgroundColor = scrollBackgroundColorFromRawValue(rawValue).value_or(ScrollBackgroundColor::standard);
}

bool CalculatorScrollView::setProperty(const std::string& key, const std::string& value, std::string& error) {
    static const std::vector<std::string> cases = {"empty", "standard", "memory"};
    return ColorProperty::setCase("color", "myScrollBackgroundColor", cases, key, value, error,
                                  [this](int raw) { setColor(raw); },
                                  [&] { return uikit::ScrollView::setProperty(key, value, error); });
}

void CalculatorScrollView::layoutSubviews() {
    uikit::ScrollView::layoutSubviews();
    const double viewWidth = bounds().width();
    const double contentWidth = contentSize().width;
    if (viewWidth != myViewWidth || contentWidth != myContentWidth) {
        myViewWidth = viewWidth;
        myContentWidth = contentWidth;
        setContentOffset({contentWidth - viewWidth, 0});
    }
    switch (myScrollBackgroundColor) {
    case ScrollBackgroundColor::empty: setBackgroundColor(uikit::Color::clear()); break;
    case ScrollBackgroundColor::standard: setBackgroundColor(standardBackgroundColor()); break;
    case ScrollBackgroundColor::memory: setBackgroundColor(digitBackgroundColor()); break;
    }
}

}  // namespace ostrelo
