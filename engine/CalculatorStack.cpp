#include "engine/CalculatorStack.h"

#include "engine/SharedSettings.h"
#include "engine/StackLineRecord.h"

#include <atomic>
#include <utility>

namespace ostrelo {

using foundation::PropertyListValue;
using foundation::UserDefaults;

namespace {

constexpr const SharedSettings::LineKeys& keys = SharedSettings::calculationLines;

std::string lineKey(std::int64_t index) { return keys.line(index); }

// Copies the array stored under one key to another; a missing array (no value, or a
// value that is not an array) removes the target key.
bool moveStoredLine(UserDefaults::Transaction& transaction, std::int64_t from, std::int64_t to) {
    auto stored = transaction.object(lineKey(from));
    return stored && stored->isArray() ? transaction.set(lineKey(to), *stored)
                                       : transaction.removeObject(lineKey(to));
}

}  // namespace

// Each operation's writes form one transaction, so another process (or a process killed
// half-way) never sees a count without its lines.

CalculatorStack::CalculatorStack() {
    auto suite = SharedSettings::open();
    auto reset = suite->object(SharedSettings::reset);
    if (reset && reset->boolValue() == true) {
        suite->performTransaction([](UserDefaults::Transaction& t) {
            return t.set(keys.count, std::int64_t{0}) && t.set(SharedSettings::memoryLines.count, std::int64_t{0}) &&
                   t.set(SharedSettings::reset, false) && t.set(SharedSettings::dateCalculator, false) &&
                   t.set(SharedSettings::dateDigits, std::int64_t{0});
        });
        suite->synchronize();
    }
    const std::int64_t count = StackLineRecord::storedCount(suite->object(keys.count));
    items = StackLineRecord::loadLines(*suite, keys, count);
    userDefaultsCount = static_cast<std::int64_t>(items.size());
    markAllLines();
}

std::uint64_t CalculatorStack::nextMark() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

void CalculatorStack::markAllLines() {
    marks_.clear();
    marks_.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) marks_.push_back(nextMark());
}

void CalculatorStack::pushLine(const std::string& item, const std::string& type, std::int64_t digits,
                               bool separator, std::int64_t fraction, std::int64_t parentheses, double number) {
    CalculatorLine line{item, type, number, digits, separator, fraction, parentheses};
    items.push_back(line);
    marks_.push_back(nextMark());
    const std::int64_t n = ++userDefaultsCount;
    StackLineRecord::commit(outOfStep, [&](UserDefaults&, UserDefaults::Transaction& t) {
        return t.set(keys.count, n) && t.set(lineKey(n), StackLineRecord::encode(line));
    });
}

std::optional<CalculatorLine> CalculatorStack::popLine() {
    if (items.empty()) return std::nullopt;
    if (userDefaultsCount >= 1) {
        const std::int64_t n = userDefaultsCount;
        userDefaultsCount = n - 1;
        StackLineRecord::commit(outOfStep, [&](UserDefaults&, UserDefaults::Transaction& t) {
            return t.removeObject(lineKey(n)) && t.set(keys.count, n - 1);
        });
    }
    CalculatorLine last = std::move(items.back());
    items.pop_back();
    if (!marks_.empty()) marks_.pop_back();
    return last;
}

void CalculatorStack::clearStack() {
    StackLineRecord::commit(outOfStep, [](UserDefaults& suite, UserDefaults::Transaction& t) {
        const std::int64_t stored = StackLineRecord::storedCount(t.object(keys.count));
        return StackLineRecord::removeLines(suite, t, keys, stored) && t.set(keys.count, std::int64_t{0});
    });
    userDefaultsCount = 0;
    items.clear();
    marks_.clear();
}

void CalculatorStack::reloadStack() {
    items.clear();
    userDefaultsCount = 0;
    outOfStep = false;
    auto suite = SharedSettings::open();
    const std::int64_t count = StackLineRecord::storedCount(suite->object(keys.count));
    items = StackLineRecord::loadLines(*suite, keys, count);
    userDefaultsCount = static_cast<std::int64_t>(items.size());
    markAllLines();
}

std::optional<CalculatorLine> CalculatorStack::removeFirstLine() {
    if (items.empty()) return std::nullopt;
    const std::int64_t n = userDefaultsCount;
    if (n >= 1) {
        StackLineRecord::commit(outOfStep, [&](UserDefaults&, UserDefaults::Transaction& t) {
            // Upward from the lowest key, so no line is overwritten before it is copied.
            for (std::int64_t i = 2; i <= n; ++i)
                if (!moveStoredLine(t, i, i - 1)) return false;
            return t.removeObject(lineKey(n)) && t.set(keys.count, n - 1);
        });
        userDefaultsCount = n - 1;
    }
    CalculatorLine first = std::move(items.front());
    items.erase(items.begin());
    if (!marks_.empty()) marks_.erase(marks_.begin());
    return first;
}

void CalculatorStack::insertFirstLine(const std::string& item, const std::string& type, std::int64_t digits,
                                      bool separator, std::int64_t fraction, std::int64_t parentheses,
                                      double number) {
    CalculatorLine line{item, type, number, digits, separator, fraction, parentheses};
    items.insert(items.begin(), line);
    marks_.insert(marks_.begin(), nextMark());
    const std::int64_t n = userDefaultsCount;
    StackLineRecord::commit(outOfStep, [&](UserDefaults&, UserDefaults::Transaction& t) {
        // Downward from the highest key, so no line is overwritten before it is copied.
        for (std::int64_t i = n; i >= 1; --i)
            if (!moveStoredLine(t, i, i + 1)) return false;
        return t.set(lineKey(1), StackLineRecord::encode(line)) && t.set(keys.count, n + 1);
    });
    userDefaultsCount = n + 1;
}

bool CalculatorStack::storeWhole(UserDefaults::Transaction& transaction) const {
    return StackLineRecord::storeLines(transaction, keys, items);
}

std::string CalculatorStack::stackText() const {
    return CalculatorLine::expressionText(items);
}

std::int64_t CalculatorStack::lineCount() const { return static_cast<std::int64_t>(items.size()); }

}  // namespace ostrelo
