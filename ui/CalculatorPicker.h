#pragma once

#include "platform/uikit/PickerView.h"

#include <optional>
#include <string>

namespace ostrelo {

// The currency picker: thin border lines along its top edge and, when it does not start at its
// superview's left edge, along its left edge, rebuilt at every layout.
class CalculatorPicker : public uikit::PickerView {
public:
    enum class PickerBackgroundColor : int { empty = 0, standard = 1 };
    static std::optional<PickerBackgroundColor> pickerBackgroundColorFromRawValue(int rawValue);

    static constexpr double borderWidth = 0.5;

    CalculatorPicker();
    explicit CalculatorPicker(const uikit::Rect& frame);

    PickerBackgroundColor myPickerBackgroundColor = PickerBackgroundColor::standard;
    double myViewWidth = 0;
    double myViewHeight = 0;

    // Raw value of the colour choice; 0 selects `empty`, anything else `standard`.
    int color() const;
    void setColor(int rawValue);

    void layoutSubviews() override;
    bool setProperty(const std::string& key, const std::string& value, std::string& error) override;

    // The frame the picker has at rest: its bounds placed about its centre, whatever its transform.
    uikit::Rect untransformedFrame() const;
};

}  // namespace ostrelo
