#include "screens/CurrencyKeys.h"

#include "engine/Calculator.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/DispatchQueue.h"
#include "screens/CalculatorScreen.h"
#include "screens/KeyTitle.h"
#include "ui/CalculatorButton.h"

namespace ostrelo {

void CurrencyKeys::setTitle(CalculatorButton* key, std::int64_t row) {
    const std::vector<std::string>& codes = screen_.links().calculator->currency();
    if (row >= 0 && row < static_cast<std::int64_t>(codes.size()))
        KeyTitle::set(key, codes[static_cast<std::size_t>(row)]);
}

void CurrencyKeys::setConvertFromTitle() { setTitle(screen_.links().fromKey, screen_.links().calculator->from()); }

void CurrencyKeys::setConvertToTitle() { setTitle(screen_.links().toKey, screen_.links().calculator->to()); }

void CurrencyKeys::setConvertTitles() {
    setConvertFromTitle();
    setConvertToTitle();
}

void CurrencyKeys::refreshLayoutAndStatusBar() { screen_.relayoutViews(); }

void CurrencyKeys::updateCurrencyTitlesAndSave() {
    setConvertTitles();
    Calculator& c = *screen_.links().calculator;
    // Part of the key that stepped the currency: bounded by its wait like the key.
    const Calculator::StoreCommit commit(c);
    SharedSettings::store({{SharedSettings::from, c.from()}, {SharedSettings::to, c.to()}});
}

// From a row at or past the end (or before the start) the first code follows.
std::int64_t CurrencyKeys::nextRow(std::int64_t row, std::size_t rows) {
    return row < 0 || row + 1 >= static_cast<std::int64_t>(rows) ? 0 : row + 1;
}

void CurrencyKeys::step(const CalculatorButton& key) {
    Calculator& c = *screen_.links().calculator;
    if (key.tag == 1) c.chooseCurrencies(nextRow(c.from(), c.currency().size()), c.to());
    else c.chooseCurrencies(c.from(), nextRow(c.to(), c.currency().size()));
}

void CurrencyKeys::queue(CalculatorScreen& screen, void (CurrencyKeys::*routine)()) {
    foundation::DispatchQueue::main().asyncAfter(
        0, [&screen, routine] { (CurrencyKeys{screen}.*routine)(); }, screen.links().guard);
}

}  // namespace ostrelo
