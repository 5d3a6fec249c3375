#pragma once

#include <string>

namespace ostrelo {

// The outcome of an evaluation: a value and "OK", "ERROR" or "FAILED".
struct EvaluationResult {
    double value = 0.0;
    std::string status = "OK";
};

}  // namespace ostrelo
