#pragma once

#include "platform/uikit/PickerViewDataSource.h"
#include "platform/uikit/PickerViewDelegate.h"

#include <memory>

namespace ostrelo {

class CalculatorScreen;

// What a screen with the two currency pickers does for them, the same on every such screen:
// their data source and delegate (one column of the currency list, each answer CurrencyPickers')
// and the steps that set them up and select the calculator's rows. Inherited beside the
// screen's controller; `pickerScreen` is the screen itself.
class CurrencyPickerSource : public uikit::PickerViewDataSource, public uikit::PickerViewDelegate {
public:
    // Both pickers answer to this screen while it lives.
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

protected:
    virtual CalculatorScreen& pickerScreen() = 0;
};

}  // namespace ostrelo
