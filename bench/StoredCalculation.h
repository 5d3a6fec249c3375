#pragma once

// A long calculation written straight to the store, as a user who never clears leaves it:
// "12+34+56+…+" with `lines` lines in all, the last one an operator, so that a digit key adds a
// line and Backspace takes it away again.

#include "engine/CalculatorLine.h"
#include "engine/SharedSettings.h"
#include "engine/StackLineRecord.h"
#include "platform/foundation/UserDefaults.h"

#include <cstdint>
#include <vector>

inline std::vector<ostrelo::CalculatorLine> longCalculation(std::int64_t lines) {
    std::vector<ostrelo::CalculatorLine> items;
    for (std::int64_t i = 0; i < lines; ++i) {
        if ((lines - i) % 2 == 1) {
            items.push_back({"+", "O", 0.0, 0, false, 0, 0});
        } else {
            const auto value = static_cast<double>(10 + (i * 37) % 90);
            items.push_back({"", "N", value, 2, false, 0, 0});
        }
    }
    return items;
}

// True when the lines are in the group directory's store.
inline bool storeLongCalculation(std::int64_t lines) {
    foundation::UserDefaults suite;
    const auto items = longCalculation(lines);
    return suite.performTransaction([&items](foundation::UserDefaults::Transaction& t) {
        return ostrelo::StackLineRecord::storeLines(t, ostrelo::SharedSettings::calculationLines, items);
    });
}
