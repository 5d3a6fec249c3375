#pragma once

#include <cstddef>
#include <cstdint>

namespace ostrelo {

class CalculatorButton;
class CalculatorScreen;

// The two currency keys of a screen without pickers: titled with the codes of the from- and
// to-currency, each press steps its side to the next code of the list. Made per call; holds a
// reference to the screen only.
class CurrencyKeys {
public:
    explicit CurrencyKeys(CalculatorScreen& screen) : screen_(screen) {}

    // The from-key's title: the code at the calculator's from-row.
    void setConvertFromTitle();
    // The to-key's title: the code at the to-row.
    void setConvertToTitle();
    void setConvertTitles();
    // Every key, the display line and the status bar lay out again.
    void refreshLayoutAndStatusBar();
    // Both titles, then the calculator's rows stored (SharedSettings::from and ::to).
    void updateCurrencyTitlesAndSave();

    // A press of a currency key: the from-key (tag 1) steps the from-row, any other the
    // to-row, to the next code of the list.
    void step(const CalculatorButton& key);
    // The row after `row` in a list of `rows` codes, back to the first after the last and from
    // any row outside the list.
    static std::int64_t nextRow(std::int64_t row, std::size_t rows);

    // Runs `routine` at the next turn of the main queue, unless the screen is gone by then.
    static void queue(CalculatorScreen& screen, void (CurrencyKeys::*routine)());

private:
    void setTitle(CalculatorButton* key, std::int64_t row);

    CalculatorScreen& screen_;
};

}  // namespace ostrelo
