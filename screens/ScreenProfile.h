#pragma once

#include "engine/SharedSettings.h"
#include "screens/LongPressRow.h"

#include <string>
#include <vector>

namespace ostrelo {

// What sets one calculator screen apart from another where no control tells, as values. The
// shared routines read these and the screen's links (ScreenLinks); they never ask which screen
// they serve.
struct ScreenProfile {
    // Searched in order; the first row whose key matches decides.
    std::vector<LongPressRow> longPress;
    // Constant and random-number keys entered as function keys.
    std::vector<std::string> constantKeys;
    // Whether a loan may start from an amount of 0.
    bool loanStartAcceptsZero = true;
    // Whether a send in date mode ends with the tail (else the key handler returns at once).
    bool dateSendEndsWithTail = false;
    // The preferences the settings loader registers, in order, with their defaults.
    std::vector<SharedSettings::Preference> registeredDefaults;
    // Whether the degree/radian key shows a blank title where the calculator offers "⚙".
    bool blankGearTitle = false;
};

}  // namespace ostrelo
