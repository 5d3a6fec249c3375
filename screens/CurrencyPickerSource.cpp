#include "screens/CurrencyPickerSource.h"

#include "platform/uikit/View.h"
#include "screens/CalculatorScreen.h"
#include "screens/CurrencyPickers.h"

namespace ostrelo {

void CurrencyPickerSource::setupPickers() { CurrencyPickers{pickerScreen()}.setupPickers(*this, *this); }

void CurrencyPickerSource::restorePickerSelection() {
    if (pickerScreen().links().keypad != nullptr) CurrencyPickers{pickerScreen()}.restorePickerSelection();
}

void CurrencyPickerSource::restorePickerSelectionAsync() { CurrencyPickers{pickerScreen()}.restorePickerSelectionAsync(); }

int CurrencyPickerSource::numberOfComponentsInPickerView(uikit::PickerView&) { return 1; }

int CurrencyPickerSource::numberOfRowsInComponent(uikit::PickerView&, int) {
    return CurrencyPickers{pickerScreen()}.numberOfRows();
}

double CurrencyPickerSource::rowHeightForComponent(uikit::PickerView& picker, int) {
    return CurrencyPickers{pickerScreen()}.rowHeight(picker);
}

std::unique_ptr<uikit::View> CurrencyPickerSource::viewForRow(uikit::PickerView& picker, int row, int, uikit::View*) {
    return CurrencyPickers{pickerScreen()}.viewForRow(picker, row);
}

void CurrencyPickerSource::didSelectRow(uikit::PickerView& picker, int, int) {
    CurrencyPickers{pickerScreen()}.didSelectRow(picker);
}

}  // namespace ostrelo
