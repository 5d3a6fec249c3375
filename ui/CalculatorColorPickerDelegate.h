#pragma once

#include "platform/uikit/Color.h"
#include "platform/uikit/GestureRecognizer.h"
#include "platform/uikit/Point.h"

namespace ostrelo {

class CalculatorColorPicker;

// Receives the colour under the finger while it rests or moves on a colour picker.
class CalculatorColorPickerDelegate {
public:
    virtual ~CalculatorColorPickerDelegate() = default;
    virtual void colorPickerTouched(CalculatorColorPicker& picker, const uikit::Color& color, uikit::Point point,
                                    uikit::GestureRecognizer::State state) = 0;
};

}  // namespace ostrelo
