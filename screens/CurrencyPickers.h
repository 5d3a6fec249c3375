#pragma once

#include <memory>

namespace uikit {
class GestureRecognizer;
class PickerView;
class PickerViewDataSource;
class PickerViewDelegate;
class View;
}  // namespace uikit

namespace ostrelo {

class CalculatorScreen;

// The two currency pickers of a screen: one column of the currency list's codes each. A choice
// in either stores both rows at once (calculator and suite) and the picker that moved shrinks
// and springs back. Holding the from-picker on the own currency stores the display value as
// the own currency's rate against the to-currency (OwnCurrency), with a pulse; a value that
// cannot be stored does nothing. Made per call; holds a reference to the screen only.
class CurrencyPickers {
public:
    // How long after the hold began the rate is stored; lifting the finger does not stop it,
    // a cancelled hold does.
    static constexpr double longPressDelay = 0.75;

    explicit CurrencyPickers(CalculatorScreen& screen) : screen_(screen) {}

    // Both pickers answer to the screen (data source and delegate), while it lives.
    void setupPickers(uikit::PickerViewDataSource& dataSource, uikit::PickerViewDelegate& delegate);
    // The hold on the from-picker, once per screen.
    void attachLongPress();

    // The data source's and delegate's answers.
    int numberOfRows() const;
    double rowHeight(const uikit::PickerView& picker) const;
    std::unique_ptr<uikit::View> viewForRow(const uikit::PickerView& picker, int row) const;
    void didSelectRow(uikit::PickerView& picker);

    // Both pickers select the calculator's rows.
    void restorePickerSelection();
    // The same at the next turn of the main queue, unless the screen is gone by then.
    void restorePickerSelectionAsync();

    // The recogniser's action: a hold that began stores the rate after `longPressDelay`; a
    // cancelled one drops what is pending.
    void handleLongPress(uikit::GestureRecognizer& recognizer);
    // The delayed part: only over the selected row, only on the own currency.
    void longPress(const uikit::GestureRecognizer& recognizer);

private:
    static void shrink(uikit::View& picker);

    CalculatorScreen& screen_;
};

}  // namespace ostrelo
