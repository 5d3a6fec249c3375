#include "ui/InterfaceKitClasses.h"

#include "platform/uikit/ClassRegistry.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorColorPicker.h"
#include "ui/CalculatorLabel.h"
#include "ui/CalculatorPicker.h"
#include "ui/CalculatorScrollView.h"
#include "ui/CalculatorSettingsLabel.h"
#include "ui/CalculatorSwitch.h"
#include "ui/CalculatorView.h"

namespace ostrelo {

void registerInterfaceKitClasses() {
    auto& registry = uikit::ClassRegistry::shared();
    registry.registerView<CalculatorView>("CalculatorView");
    registry.registerView<CalculatorButton>("CalculatorButton");
    registry.registerView<CalculatorLabel>("CalculatorLabel");
    registry.registerView<CalculatorSettingsLabel>("CalculatorSettingsLabel");
    registry.registerView<CalculatorCalcLabel>("CalculatorCalcLabel");
    registry.registerView<CalculatorScrollView>("CalculatorScrollView");
    registry.registerView<CalculatorSwitch>("CalculatorSwitch");
    registry.registerView<CalculatorPicker>("CalculatorPicker");
    registry.registerView<CalculatorColorPicker>("CalculatorColorPicker");
}

}  // namespace ostrelo
