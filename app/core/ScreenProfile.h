#pragma once

#include "app/core/LongPressRow.h"

#include <string>
#include <vector>

namespace ostrelo {

// What sets one calculator screen's key handling apart from another's, as values.
struct ScreenProfile {
    // Searched in order; the first row whose key matches decides.
    std::vector<LongPressRow> longPress;
    // Constant and random-number keys entered as function keys.
    std::vector<std::string> constantKeys;
    // Whether a loan may start from an amount of 0.
    bool loanStartAcceptsZero = true;
};

}  // namespace ostrelo
