#pragma once

#include <string>

namespace ostrelo {

// One row of a screen's long-press table: the key held, the key it becomes, and whether the
// key pulses. A row with a condition applies only while the screen allows it; otherwise the
// key keeps its own text and does not pulse.
struct LongPressRow {
    enum class Condition {
        none,
        // The window is compact in width and regular in height (a phone in portrait).
        compactWidthRegularHeight,
    };

    std::string held;
    std::string becomes;
    Condition condition = Condition::none;
};

}  // namespace ostrelo
