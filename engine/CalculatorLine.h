#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ostrelo {

// One typed entry of a calculation or of the memory register.
// type codes: "N" number, "R" result/reset, "O" operator, "F" function name,
// "(" and ")", and the postfix/prefix symbols "^", "%", "!", "√", "²".
struct CalculatorLine {
    std::string item;
    std::string type;
    double number = 0.0;
    std::int64_t digits = 0;
    bool separator = false;
    std::int64_t fraction = 0;
    std::int64_t parentheses = 0;

    friend bool operator==(const CalculatorLine&, const CalculatorLine&) = default;

    // The lines joined into one expression text: a number or result line as the
    // shortest text of its value ("3.0", "1e-05"), every other line as its item.
    static std::string expressionText(const std::vector<CalculatorLine>& lines);
    // The part of one line in that text.
    static std::string expressionText(const CalculatorLine& line);
};

}  // namespace ostrelo
