#include "screens/CurrencyPickerSource.h"

#include "platform/uikit/View.h"
#include "screens/CalculatorScreen.h"
#include "screens/CurrencyPickers.h"

namespace ostrelo {

void CurrencyPickerSource::setupPickers() { CurrencyPickers{screen_}.setupPickers(*this, *this); }

void CurrencyPickerSource::restorePickerSelection() {
    if (screen_.links().keypad != nullptr) CurrencyPickers{screen_}.restorePickerSelection();
}

void CurrencyPickerSource::restorePickerSelectionAsync() { CurrencyPickers{screen_}.restorePickerSelectionAsync(); }

int CurrencyPickerSource::numberOfComponentsInPickerView(uikit::PickerView&) { return 1; }

int CurrencyPickerSource::numberOfRowsInComponent(uikit::PickerView&, int) {
    return CurrencyPickers{screen_}.numberOfRows();
}

double CurrencyPickerSource::rowHeightForComponent(uikit::PickerView& picker, int) {
    return CurrencyPickers{screen_}.rowHeight(picker);
}

std::unique_ptr<uikit::View> CurrencyPickerSource::viewForRow(uikit::PickerView& picker, int row, int, uikit::View*) {
    return CurrencyPickers{screen_}.viewForRow(picker, row);
}

void CurrencyPickerSource::didSelectRow(uikit::PickerView& picker, int, int) {
    CurrencyPickers{screen_}.didSelectRow(picker);
}

}  // namespace ostrelo
