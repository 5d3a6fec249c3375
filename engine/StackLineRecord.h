#pragma once

#include "engine/CalculatorLine.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/PropertyListValue.h"
#include "platform/foundation/UserDefaults.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ostrelo {

// The stored form of a line: an array of exactly seven values
// [item (string), type (string), number (double), digits (integer),
//  separator (bool), fraction (integer), parentheses (integer)].
class StackLineRecord {
public:
    static foundation::PropertyListValue encode(const CalculatorLine& line);
    // None when the value is not such an array or a value has another kind.
    static std::optional<CalculatorLine> decode(const foundation::PropertyListValue& value);

    // A stored count: the value when it is an integer of at least 1, else 0.
    static std::int64_t storedCount(const std::optional<foundation::PropertyListValue>& value);

    using LineKeys = SharedSettings::LineKeys;

    // The lines stored under the line keys 1 ... count of `keys`, in order. The load ends at
    // the first line that is missing or malformed, so it gives the lines before it.
    static std::vector<CalculatorLine> loadLines(const foundation::UserDefaults& suite, const LineKeys& keys,
                                                 std::int64_t count);

    // Removes the line keys 1 ... count of `keys` inside a transaction of `suite`. A count far
    // above the number of stored keys removes the matching stored keys instead of walking
    // every number up to it.
    static bool removeLines(foundation::UserDefaults& suite, foundation::UserDefaults::Transaction& transaction,
                            const LineKeys& keys, std::int64_t count);

    // Writes `lines` whole inside a transaction: the line keys 1 ... and the count key of
    // `keys`, and removes the stored lines past them (up to a bounded number).
    static bool storeLines(foundation::UserDefaults::Transaction& transaction, const LineKeys& keys,
                           const std::vector<CalculatorLine>& lines);

    // Commits one stack operation's writes together, in a suite opened afresh. A commit that
    // fails (the store is full, read-only, or stayed locked beyond its wait) sets `outOfStep`:
    // the stack's lines then run ahead of the stored ones, and no further commit is tried until
    // the owner has written the stack whole (storeLines) or loaded it again.
    using Writes = std::function<bool(foundation::UserDefaults&, foundation::UserDefaults::Transaction&)>;
    static void commit(bool& outOfStep, const Writes& writes);
};

}  // namespace ostrelo
