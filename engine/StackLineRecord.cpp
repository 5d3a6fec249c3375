#include "engine/StackLineRecord.h"

#include "engine/SharedSettings.h"

#include <algorithm>
#include <unordered_map>

namespace ostrelo {

using foundation::PropertyListValue;

PropertyListValue StackLineRecord::encode(const CalculatorLine& line) {
    return PropertyListValue(PropertyListValue::Array{
        PropertyListValue(line.item),
        PropertyListValue(line.type),
        PropertyListValue(line.number),
        PropertyListValue(line.digits),
        PropertyListValue(line.separator),
        PropertyListValue(line.fraction),
        PropertyListValue(line.parentheses),
    });
}

std::optional<CalculatorLine> StackLineRecord::decode(const PropertyListValue& value) {
    const PropertyListValue::Array* values = value.arrayValue();
    if (!values || values->size() != 7) return std::nullopt;
    const auto& v = *values;
    // Read from the last value to the first, each in its own kind.
    auto parentheses = v[6].integerValue();
    auto fraction = v[5].integerValue();
    auto separator = v[4].boolValue();
    auto digits = v[3].integerValue();
    auto number = v[2].realValue();
    auto type = v[1].stringValue();
    auto item = v[0].stringValue();
    if (!parentheses || !fraction || !separator || !digits || !number || !type || !item) return std::nullopt;
    return CalculatorLine{*item, *type, *number, *digits, *separator, *fraction, *parentheses};
}

std::int64_t StackLineRecord::storedCount(const std::optional<PropertyListValue>& value) {
    if (!value) return 0;
    auto count = value->integerValue();
    return count && *count >= 1 ? *count : 0;
}

std::vector<CalculatorLine> StackLineRecord::loadLines(const foundation::UserDefaults& suite, const LineKeys& keys,
                                                       std::int64_t count) {
    std::vector<CalculatorLine> lines;
    if (count < 1) return lines;
    // Every line key in one read: the keys of the prefix followed by a digit from 1 to 9.
    const std::string prefix(keys.prefix);
    const foundation::PropertyListValue::Dictionary stored = suite.objectsInRange(prefix + "1", prefix + ":");
    std::unordered_map<std::uint64_t, const foundation::PropertyListValue*> byIndex;
    byIndex.reserve(stored.size());
    for (const auto& [key, value] : stored)
        if (const auto index = keys.lineIndex(key); index && *index <= static_cast<std::uint64_t>(count))
            byIndex.emplace(*index, &value);
    lines.reserve(byIndex.size());
    for (std::uint64_t i = 1; i <= static_cast<std::uint64_t>(count); ++i) {
        const auto found = byIndex.find(i);
        auto line = found != byIndex.end() ? decode(*found->second) : std::nullopt;
        if (!line) break;
        lines.push_back(std::move(*line));
    }
    return lines;
}

bool StackLineRecord::removeLines(foundation::UserDefaults& suite, foundation::UserDefaults::Transaction& transaction,
                                  const LineKeys& keys, std::int64_t count) {
    constexpr std::int64_t walkLimit = 4096;
    bool ok = true;
    if (count <= walkLimit) {
        for (std::int64_t i = 1; i <= count; ++i) ok = transaction.removeObject(keys.line(i)) && ok;
        return ok;
    }
    for (const auto& entry : suite.dictionaryRepresentation()) {
        const std::optional<std::uint64_t> index = keys.lineIndex(entry.first);
        if (index && *index <= static_cast<std::uint64_t>(count)) ok = transaction.removeObject(entry.first) && ok;
    }
    return ok;
}

bool StackLineRecord::storeLines(foundation::UserDefaults::Transaction& transaction, const LineKeys& keys,
                                 const std::vector<CalculatorLine>& lines) {
    constexpr std::int64_t removalLimit = 4096;
    const auto count = static_cast<std::int64_t>(lines.size());
    const std::int64_t stored = std::min(storedCount(transaction.object(keys.count)), count + removalLimit);
    for (std::int64_t i = count + 1; i <= stored; ++i)
        if (!transaction.removeObject(keys.line(i))) return false;
    for (std::int64_t i = 1; i <= count; ++i)
        if (!transaction.set(keys.line(i), encode(lines[static_cast<std::size_t>(i - 1)]))) return false;
    return transaction.set(keys.count, count);
}

void StackLineRecord::commit(bool& outOfStep, const Writes& writes) {
    if (outOfStep) return;
    auto suite = SharedSettings::open();
    if (!suite->performTransaction([&](foundation::UserDefaults::Transaction& t) { return writes(*suite, t); }))
        outOfStep = true;
    suite->synchronize();
}

}  // namespace ostrelo
