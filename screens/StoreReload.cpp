#include "screens/StoreReload.h"

#include "engine/Calculator.h"
#include "screens/CalculatorScreen.h"
#include "screens/DisplayRefresh.h"
#include "screens/KeyHandler.h"

namespace ostrelo {

void StoreReload::takeUpChanges() {
    reloadCalculation();
    showTakenUp();
}

void StoreReload::showTakenUp() {
    screen_.reloadSettings();
    DisplayRefresh{screen_}.updateDateTitle();
    screen_.refreshDisplay();
    KeyHandler{screen_}.tail();
}

void StoreReload::followRetries() {
    CalculatorScreen* screen = &screen_;
    screen_.links().calculator->observeRetries(
        [screen, guard = screen_.links().guard](Calculator::RetryOutcome outcome) {
            if (guard.expired()) return;
            if (outcome == Calculator::RetryOutcome::tookUpNewer) StoreReload{*screen}.showTakenUp();
            else screen->calculationStored();
        });
}

bool StoreReload::reloadCalculation() {
    Calculator& calculator = *screen_.links().calculator;
    if (calculator.storeAsCreated()) {
        // The first activation of a start: the suite holds what the calculator has just read
        // (a long calculation is not read twice); the display texts follow the settings loaded
        // since.
        calculator.updatePrimaryString();
        calculator.updateMemoryString();
        return false;
    }
    const auto shown = calculator.ostrelo().items;
    const bool dateMode = calculator.dateCalculator();
    calculator.reloadFromSettings();
    return calculator.ostrelo().items != shown || calculator.dateCalculator() != dateMode;
}

}  // namespace ostrelo
