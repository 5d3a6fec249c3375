#include "ui/CalculatorSettingsLabel.h"

namespace ostrelo {

void CalculatorSettingsLabel::drawTextInRect(const uikit::Rect& rect) {
    CalculatorLabel::drawTextInRect(
        {rect.origin.x + sideInset, rect.origin.y, rect.size.width - 2 * sideInset, rect.size.height});
}

}  // namespace ostrelo
