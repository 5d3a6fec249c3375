#pragma once

#include "engine/CalculatorLine.h"
#include "platform/foundation/PropertyListValue.h"

#include <optional>

namespace ostrelo {

// The stored form of a line: an array of exactly seven values
// [item (string), type (string), number (double), digits (integer),
//  separator (bool), fraction (integer), parentheses (integer)].
class StackLineRecord {
public:
    static foundation::PropertyListValue encode(const CalculatorLine& line);
    // None when the value is not such an array or a value has another kind.
    static std::optional<CalculatorLine> decode(const foundation::PropertyListValue& value);
};

}  // namespace ostrelo
