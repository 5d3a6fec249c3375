#include "ui/ButtonShapesProbe.h"

#include "platform/uikit/Button.h"

namespace ostrelo {

bool isButtonShapesEnabled() {
    uikit::Button button;
    button.setTitle("Button Shapes", uikit::ControlStateNormal);
    const uikit::Label* label = button.titleLabel();
    if (label == nullptr || label->attributedText().empty()) return false;
    const auto attributes = label->attributedText().attributesAt(0);
    return attributes && attributes->underlineStyle.has_value();
}

}  // namespace ostrelo
