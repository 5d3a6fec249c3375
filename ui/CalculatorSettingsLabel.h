#pragma once

#include "ui/CalculatorLabel.h"

namespace ostrelo {

// A themed label whose text keeps 20 points from its left and right edges.
class CalculatorSettingsLabel : public CalculatorLabel {
public:
    using CalculatorLabel::CalculatorLabel;

    static constexpr double sideInset = 20;

    void drawTextInRect(const uikit::Rect& rect) override;
};

}  // namespace ostrelo
