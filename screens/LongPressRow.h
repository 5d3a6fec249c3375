#pragma once

#include <string>

namespace ostrelo {

// One row of a screen's long-press table: the key held, the key it becomes, and whether the
// key pulses. A row with a condition applies only while the condition holds; otherwise the key
// keeps its own text, does not pulse, and no later row is tried.
struct LongPressRow {
    enum class Condition {
        none,
        // The window is compact in width and regular in height (a phone in portrait): the
        // screen answers (CalculatorScreen::allows).
        compactWidthRegularHeight,
        // No function overlay is open over the keypad: the screen answers.
        functionOverlayClosed,
        // The key is the from-currency key (tag 1) and the own currency is the from-currency:
        // the key handler answers.
        ownCurrencyFromKey,
    };

    // The key held; empty for any code of the currency list.
    std::string held;
    std::string becomes;
    Condition condition = Condition::none;

    // A held currency key stores the own currency's rates ("ex") when it is the from-key
    // showing the own currency; any other held currency key acts as a tap.
    static const LongPressRow ownCurrencyRates;
};

inline const LongPressRow LongPressRow::ownCurrencyRates{"", "ex", LongPressRow::Condition::ownCurrencyFromKey};

}  // namespace ostrelo
