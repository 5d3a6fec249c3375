#pragma once

#include "engine/CalculatorLine.h"
#include "platform/foundation/UserDefaults.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ostrelo {

// The memory register, written through to the suite under SharedSettings::memoryLines.
// Loads and writes follow the rules of the calculation stack.
class MemoryCalculatorStack {
public:
    std::vector<CalculatorLine> items;
    std::int64_t userDefaultsCount = 0;
    // Set when a write did not reach the store, as for the calculation stack.
    bool outOfStep = false;

    // The memory register as stored (does not look at a pending reset).
    static std::pair<std::vector<CalculatorLine>, std::int64_t> loadMemoryItems();
    // Reloads in place after honouring a pending reset.
    void loadMemoryHonouringReset();
    void pushMemoryLine(const std::string& item, const std::string& type, std::int64_t digits, bool separator,
                        std::int64_t fraction, std::int64_t parentheses, double number);
    void clearMemory();
    // The lines written whole, with the count, inside a transaction (an unsaved register's save).
    bool storeWhole(foundation::UserDefaults::Transaction& transaction) const;
    std::string memoryItemsText() const;
};

}  // namespace ostrelo
