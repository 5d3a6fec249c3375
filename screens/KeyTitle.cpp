#include "screens/KeyTitle.h"

#include "platform/uikit/Label.h"
#include "ui/CalculatorButton.h"

namespace ostrelo {

std::string KeyTitle::shown(const CalculatorButton* key) {
    if (key == nullptr || key->titleLabel() == nullptr) return "";
    return key->titleLabel()->text();
}

void KeyTitle::set(CalculatorButton* key, const std::string& title) {
    if (key != nullptr) key->setTitle(title, uikit::ControlStateNormal);
}

}  // namespace ostrelo
