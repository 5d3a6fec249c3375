#include "engine/MemoryCalculatorStack.h"

#include "engine/SharedSettings.h"
#include "engine/StackLineRecord.h"

namespace ostrelo {

using foundation::UserDefaults;

namespace {

const std::string memoryKey = "memory";
const std::string memoryLinePrefix = "m";

}  // namespace

std::pair<std::vector<CalculatorLine>, std::int64_t> MemoryCalculatorStack::loadMemoryItems() {
    auto suite = SharedSettings::open();
    const std::int64_t count = StackLineRecord::storedCount(suite->object(memoryKey));
    auto lines = StackLineRecord::loadLines(*suite, memoryLinePrefix, count);
    const auto loaded = static_cast<std::int64_t>(lines.size());
    return {std::move(lines), loaded};
}

void MemoryCalculatorStack::loadMemoryHonouringReset() {
    items.clear();
    userDefaultsCount = 0;
    outOfStep = false;
    auto suite = SharedSettings::open();
    auto reset = suite->object("reset");
    if (reset && reset->boolValue() == true) {
        suite->performTransaction([](UserDefaults::Transaction& t) {
            return t.set("count", std::int64_t{0}) && t.set(memoryKey, std::int64_t{0}) && t.set("reset", false);
        });
        suite->synchronize();
    }
    const std::int64_t count = StackLineRecord::storedCount(suite->object(memoryKey));
    items = StackLineRecord::loadLines(*suite, memoryLinePrefix, count);
    userDefaultsCount = static_cast<std::int64_t>(items.size());
}

void MemoryCalculatorStack::pushMemoryLine(const std::string& item, const std::string& type, std::int64_t digits,
                                           bool separator, std::int64_t fraction, std::int64_t parentheses,
                                           double number) {
    CalculatorLine line{item, type, number, digits, separator, fraction, parentheses};
    items.push_back(line);
    const std::int64_t n = ++userDefaultsCount;
    StackLineRecord::commit(outOfStep, [&](UserDefaults&, UserDefaults::Transaction& t) {
        return t.set(memoryKey, n) && t.set(memoryLinePrefix + std::to_string(n), StackLineRecord::encode(line));
    });
}

void MemoryCalculatorStack::clearMemory() {
    StackLineRecord::commit(outOfStep, [](UserDefaults& suite, UserDefaults::Transaction& t) {
        const std::int64_t stored = StackLineRecord::storedCount(t.object(memoryKey));
        return StackLineRecord::removeLines(suite, t, memoryLinePrefix, stored) && t.set(memoryKey, std::int64_t{0});
    });
    userDefaultsCount = 0;
    items.clear();
}

bool MemoryCalculatorStack::storeWhole(UserDefaults::Transaction& transaction) const {
    return StackLineRecord::storeLines(transaction, memoryKey, memoryLinePrefix, items);
}

std::string MemoryCalculatorStack::memoryItemsText() const {
    return CalculatorLine::expressionText(items);
}

}  // namespace ostrelo
