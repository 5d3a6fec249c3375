#pragma once

#include "engine/Calculator.h"
#include "platform/foundation/PropertyListValue.h"

#include <cstdint>
#include <optional>
#include <string>

namespace foundation {
class UserDefaults;
}

namespace ostrelo {

// The user's own currency: a code of three characters typed on the settings page
// (SharedSettings::ownCurrencyRequest) that joins a calculator's currency list as row 31,
// remembered in SharedSettings::ownCurrency so that the pair rates set for it by hand can be
// removed when it changes; and the one writer of those rates.
class OwnCurrency {
public:
    // The own currency's row; the 31 listed codes come before it.
    static constexpr std::int64_t row = Calculator::ownCurrencyRow;

    // Which of the calculator's sides stood on the own currency's row when it left the list
    // and moved to the row before.
    struct Moved {
        bool from = false;
        bool to = false;
    };

    explicit OwnCurrency(Calculator& calculator) : calculator_(calculator) {}

    // The code a stored request names: the text trimmed of white space and line breaks,
    // upper-cased, and cut to its first three characters when it is longer. None when the
    // request is not a text or is shorter than three characters.
    static std::optional<std::string> requestedCode(const std::optional<foundation::PropertyListValue>& stored);

    // Brings the calculator's list and the suite in line with the request: a missing or too
    // short request, or a listed code, clears the own currency (its pair rates removed, sides
    // on its row moved back to row 30); the code already at row 31 stays; a new code replaces
    // the old one (the old pair rates removed). The suite writes of one change are one
    // transaction.
    Moved update(foundation::UserDefaults& suite);

    // Whether the display value can be stored as the own currency's rate: the from-currency is
    // the own currency, the to-currency another one, date mode is off and the current line's
    // number is a finite number above 0.
    bool canStoreRates() const;
    // With x the display value, F the own currency and T the to-currency: F+T = x, F+F = 1,
    // T+F = 1/x, and for every other listed code K with a usable T+K rate r (a finite number
    // above 0) F+K = x·r and K+F = 1/(x·r), else F+K = 1. A derived rate that is not a finite
    // number above 0 is removed instead of written. All in one transaction; nothing is written
    // (false) when the rates cannot be stored.
    bool storeRates() const;

private:
    Moved clear(foundation::UserDefaults& suite, const std::optional<std::string>& previous);

    Calculator& calculator_;
};

}  // namespace ostrelo
