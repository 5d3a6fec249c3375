#pragma once

namespace ostrelo {

class CalculatorScreen;

// What another program stored, taken up by a screen as at its activation: the calculation read
// again, and whether it differs from the one the screen showed (a loan prompt or a date title
// of the old calculation must then give way: the key handler's tail).
class StoreReload {
public:
    explicit StoreReload(CalculatorScreen& screen) : screen_(screen) {}

    // Before a key, when another program changed the store since the screen's calculator last
    // read it: the calculation, the settings, the date title and the display, then the tail.
    void takeUpChanges();
    // Activation's first step: the calculation reloaded; true when it (or its date mode) differs
    // from the one shown before.
    bool reloadCalculation();
    // From now on the screen follows the retries of its calculator's unsaved calculation: another
    // program's newer calculation, taken up by the calculator, is shown as by takeUpChanges; a
    // stored one is published again (CalculatorScreen::calculationStored). Called once for each
    // calculator a screen makes: in its constructor, and where it replaces the calculator.
    void followRetries();

private:
    // takeUpChanges after the calculation is read again.
    void showTakenUp();
    CalculatorScreen& screen_;
};

}  // namespace ostrelo
