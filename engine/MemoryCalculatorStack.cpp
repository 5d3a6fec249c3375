#include "engine/MemoryCalculatorStack.h"

#include "engine/SharedSettings.h"
#include "engine/StackLineRecord.h"

namespace ostrelo {

using foundation::UserDefaults;

namespace {

constexpr const SharedSettings::LineKeys& keys = SharedSettings::memoryLines;

}  // namespace

std::pair<std::vector<CalculatorLine>, std::int64_t> MemoryCalculatorStack::loadMemoryItems() {
    auto suite = SharedSettings::open();
    const std::int64_t count = StackLineRecord::storedCount(suite->object(keys.count));
    auto lines = StackLineRecord::loadLines(*suite, keys, count);
    const auto loaded = static_cast<std::int64_t>(lines.size());
    return {std::move(lines), loaded};
}

void MemoryCalculatorStack::loadMemoryHonouringReset() {
    items.clear();
    userDefaultsCount = 0;
    outOfStep = false;
    auto suite = SharedSettings::open();
    auto reset = suite->object(SharedSettings::reset);
    if (reset && reset->boolValue() == true) {
        suite->performTransaction([](UserDefaults::Transaction& t) {
            return t.set(SharedSettings::calculationLines.count, std::int64_t{0}) &&
                   t.set(keys.count, std::int64_t{0}) && t.set(SharedSettings::reset, false);
        });
        suite->synchronize();
    }
    const std::int64_t count = StackLineRecord::storedCount(suite->object(keys.count));
    items = StackLineRecord::loadLines(*suite, keys, count);
    userDefaultsCount = static_cast<std::int64_t>(items.size());
}

void MemoryCalculatorStack::pushMemoryLine(const std::string& item, const std::string& type, std::int64_t digits,
                                           bool separator, std::int64_t fraction, std::int64_t parentheses,
                                           double number) {
    CalculatorLine line{item, type, number, digits, separator, fraction, parentheses};
    items.push_back(line);
    const std::int64_t n = ++userDefaultsCount;
    StackLineRecord::commit(outOfStep, [&](UserDefaults&, UserDefaults::Transaction& t) {
        return t.set(keys.count, n) && t.set(keys.line(n), StackLineRecord::encode(line));
    });
}

void MemoryCalculatorStack::clearMemory() {
    StackLineRecord::commit(outOfStep, [](UserDefaults& suite, UserDefaults::Transaction& t) {
        const std::int64_t stored = StackLineRecord::storedCount(t.object(keys.count));
        return StackLineRecord::removeLines(suite, t, keys, stored) && t.set(keys.count, std::int64_t{0});
    });
    userDefaultsCount = 0;
    items.clear();
}

bool MemoryCalculatorStack::storeWhole(UserDefaults::Transaction& transaction) const {
    return StackLineRecord::storeLines(transaction, keys, items);
}

std::string MemoryCalculatorStack::memoryItemsText() const {
    return CalculatorLine::expressionText(items);
}

}  // namespace ostrelo
