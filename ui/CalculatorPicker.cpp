#include "ui/CalculatorPicker.h"

#include "ui/ColorProperty.h"
#include "ui/Theme.h"

namespace ostrelo {

namespace {

void replaceLine(uikit::Layer& layer, const std::string& name, const std::optional<uikit::Rect>& frame) {
    if (uikit::Layer* old = layer.sublayerNamed(name)) old->removeFromSuperlayer();
    if (!frame) return;
    auto line = uikit::Layer::make();
    line->name = name;
    line->backgroundColor = borderColor();
    line->setFrame(*frame);
    layer.addSublayer(std::move(line));
}

}  // namespace

std::optional<CalculatorPicker::PickerBackgroundColor> CalculatorPicker::pickerBackgroundColorFromRawValue(
    int rawValue) {
    return ColorProperty::caseFromRawValue(rawValue, PickerBackgroundColor::standard);
}

CalculatorPicker::CalculatorPicker() = default;

CalculatorPicker::CalculatorPicker(const uikit::Rect& frame) : uikit::PickerView(frame) {}

int CalculatorPicker::color() const { return static_cast<int>(myPickerBackgroundColor); }

void CalculatorPicker::setColor(int rawValue) {
    myPickerBackgroundColor = pickerBackgroundColorFromRawValue(rawValue).value_or(PickerBackgroundColor::standard);
}

bool CalculatorPicker::setProperty(const std::string& key, const std::string& value, std::string& error) {
    static const std::vector<std::string> cases = {"empty", "standard"};
    return ColorProperty::setCase("color", "myPickerBackgroundColor", cases, key, value, error,
                                  [this](int raw) { setColor(raw); },
                                  [&] { return uikit::PickerView::setProperty(key, value, error); });
}

uikit::Rect CalculatorPicker::untransformedFrame() const {
    const uikit::Rect b = bounds();
    return {center().x - b.width() / 2, center().y - b.height() / 2, b.width(), b.height()};
}

void CalculatorPicker::layoutSubviews() {
    uikit::PickerView::layoutSubviews();
    myViewWidth = bounds().width();
    myViewHeight = bounds().height();

    // Lines follow the picker's place at rest, so a pulse or press transform never adds one.
    const uikit::Rect rest = untransformedFrame();
    replaceLine(layer(), "borderTop", uikit::Rect(0, 0, rest.size.width, borderWidth));
    replaceLine(layer(), "borderLeft",
                rest.origin.x > 0 ? std::optional<uikit::Rect>(uikit::Rect(0, 0, borderWidth, rest.size.height))
                                  : std::nullopt);

    setBackgroundColor(myPickerBackgroundColor == PickerBackgroundColor::empty ? uikit::Color::clear()
                                                                               : functionBackgroundColor());
}

}  // namespace ostrelo
