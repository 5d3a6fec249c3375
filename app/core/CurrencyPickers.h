#pragma once

#include "platform/uikit/PickerViewDataSource.h"
#include "platform/uikit/PickerViewDelegate.h"

#include <memory>
#include <optional>
#include <string>

namespace uikit {
class GestureRecognizer;
class PickerView;
class View;
}  // namespace uikit

namespace ostrelo {

class CalculatorPicker;
class CalculatorScreen;

// The two currency pickers of a calculator screen, which is their data source and delegate
// through this object: one column each of the calculator's currency list, rows half a picker
// high shown as centred labels in the theme's font, and a choice kept at once in the calculator
// and the suite ("from", "to") while the picker that moved shrinks and springs back. Held for
// 0.75 s past the start of a long press on its selected row, the from-picker showing the own
// currency takes the number on the display as the own currency's rate in the to-currency.
class CurrencyPickers : public uikit::PickerViewDataSource, public uikit::PickerViewDelegate {
public:
    explicit CurrencyPickers(CalculatorScreen& screen) : screen_(screen) {}

    // Makes this object both pickers' data source and delegate while the screen lives.
    void setUp();
    // Each picker shows the calculator's row for its side; a picker that already does is left
    // alone (so that it asks for no new layout).
    void restoreSelection();

    // Adds the long press to the from-picker.
    void attachOwnRateLongPress();
    // The long press's action: its start arms the own rate for 0.75 s later, its cancellation
    // disarms it.
    void handleLongPressForConvertFrom(uikit::GestureRecognizer& recognizer);
    // The armed own rate: only for a press on the selected row of a from-picker showing the own
    // currency.
    void longPress(uikit::GestureRecognizer& recognizer);

    // The shrink of a picker (or any control) by 10 points each way over 0.2 s, and back.
    static void shrinkAndSpringBack(uikit::View& view);

    int numberOfComponentsInPickerView(uikit::PickerView& picker) override;
    int numberOfRowsInComponent(uikit::PickerView& picker, int component) override;
    double rowHeightForComponent(uikit::PickerView& picker, int component) override;
    std::unique_ptr<uikit::View> viewForRow(uikit::PickerView& picker, int row, int component,
                                            uikit::View* reusing) override;
    void didSelectRow(uikit::PickerView& picker, int row, int component) override;

    static constexpr double ownRateDelay = 0.75;
    // The own currency's row: after the 31 built-in codes.
    static constexpr int ownCurrencyRow = 31;

private:
    CalculatorScreen& screen_;
};

}  // namespace ostrelo
