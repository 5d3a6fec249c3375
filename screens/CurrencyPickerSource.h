#pragma once

#include "platform/uikit/PickerViewDataSource.h"
#include "platform/uikit/PickerViewDelegate.h"

#include <memory>

namespace ostrelo {

class CalculatorScreen;

// The data source and delegate of a screen's two currency pickers, the same on every screen that
// has them: one column of the currency list, each answer CurrencyPickers' over the screen. The
// screen holds one and hands it to its pickers (setupPickers) while it lives.
class CurrencyPickerSource : public uikit::PickerViewDataSource, public uikit::PickerViewDelegate {
public:
    explicit CurrencyPickerSource(CalculatorScreen& screen) : screen_(screen) {}
    CurrencyPickerSource(const CurrencyPickerSource&) = delete;
    CurrencyPickerSource& operator=(const CurrencyPickerSource&) = delete;

    // Both pickers answer to this source while the screen lives.
    void setupPickers();
    // Both pickers select the calculator's rows (once the screen's controls are bound).
    void restorePickerSelection();
    // The same at the next turn of the main queue, unless the screen is gone by then.
    void restorePickerSelectionAsync();

    int numberOfComponentsInPickerView(uikit::PickerView& picker) override;
    int numberOfRowsInComponent(uikit::PickerView& picker, int component) override;
    double rowHeightForComponent(uikit::PickerView& picker, int component) override;
    std::unique_ptr<uikit::View> viewForRow(uikit::PickerView& picker, int row, int component,
                                            uikit::View* reusing) override;
    void didSelectRow(uikit::PickerView& picker, int row, int component) override;

private:
    CalculatorScreen& screen_;
};

}  // namespace ostrelo
