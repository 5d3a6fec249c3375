#include "engine/CalculatorLine.h"

#include "platform/foundation/DecimalNumber.h"

namespace ostrelo {

std::string CalculatorLine::expressionText(const std::vector<CalculatorLine>& lines) {
    std::string text;
    for (const auto& line : lines) {
        if (line.type == "N" || line.type == "R")
            text += foundation::DecimalNumber::shortestText(line.number);
        else
            text += line.item;
    }
    return text;
}

}  // namespace ostrelo
