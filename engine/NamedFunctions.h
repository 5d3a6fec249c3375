#pragma once

#include <optional>
#include <string>

namespace ostrelo {

// The functions the evaluator calls by name for FUNCTION(operand,'name').
class NamedFunctions {
public:
    // The named function of x; none when the name is not in the table.
    static std::optional<double> call(const std::string& name, double x);
    static double powerWithPower(double x, double y);
};

}  // namespace ostrelo
