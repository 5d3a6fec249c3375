#include "engine/CalculatorLine.h"

#include "platform/foundation/DecimalNumber.h"

namespace ostrelo {

std::string CalculatorLine::expressionText(const std::vector<CalculatorLine>& lines) {
    std::string text;
    for (const auto& line : lines) text += expressionText(line);
    return text;
}

std::string CalculatorLine::expressionText(const CalculatorLine& line) {
    if (line.type == "N" || line.type == "R") return foundation::DecimalNumber::shortestText(line.number);
    return line.item;
}

}  // namespace ostrelo
