#pragma once

#include <string>

namespace ostrelo {

// Turns the joined text of the lines into the evaluator's expression format, and
// tidies display texts. Pure functions of their arguments.
class ExpressionTranslator {
public:
    static std::string expressionFormat(const std::string& text, bool autoParenthesis, bool radiantFlag);
    static std::string removeRedundantParentheses(const std::string& text, bool autoParenthesis);
};

}  // namespace ostrelo
