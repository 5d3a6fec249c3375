#pragma once

#include "engine/Calculator.h"

#include <cstdint>
#include <string>
#include <utility>

namespace ostrelo {

// The engine's own state as tests (and benchmarks) set it up where no key sequence leads
// straight there: a countdown of the clear key, date texts left by an earlier entry, a text
// an operation must leave alone.
class CalculatorTestApi {
public:
    static void setClearCounter(Calculator& c, std::int64_t count) { c.clearCounter_ = count; }
    static void setPrimaryString(Calculator& c, std::string text) { c.primaryString_ = std::move(text); }
    static void setDateString(Calculator& c, std::string text) { c.dateString_ = std::move(text); }
    static void setDateCompleteString(Calculator& c, std::string text) { c.dateCompleteString_ = std::move(text); }
    static void setDateResultString(Calculator& c, std::string text) { c.dateResultString_ = std::move(text); }
    static void setDateDigits(Calculator& c, std::int64_t digits) { c.dateDigits_ = digits; }
};

}  // namespace ostrelo
