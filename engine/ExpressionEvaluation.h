#pragma once

#include "engine/EvaluationResult.h"

#include <functional>
#include <string>

namespace foundation {
class Expression;
}

namespace ostrelo {

// Evaluation of a translated expression, with the guard that turns the evaluator's
// exception into "FAILED". The Calculator wraps evaluate() with its two flags.
class ExpressionEvaluation {
public:
    // The whole evaluation of a stack text: "" is FAILED; translation, guarded run.
    static EvaluationResult evaluate(const std::string& text, bool autoParenthesis, bool radiantFlag);

    // Evaluates the format text and cuts the value; may raise the evaluator's exception.
    static void evaluateExpressionFormat(const std::string& format, double& value, std::string& status);
    // Evaluates a read expression and cuts the value; may raise the evaluator's exception.
    static void evaluateExpression(const foundation::Expression& expression, double& value, std::string& status);

    // Decimal places (0 to 18) after which x is integral within 1e-7.
    static int decimalPlaces(double x);

    // Runs block; an evaluator exception it raises is parked for this thread.
    static void runCatchingException(const std::function<void()>& block);
    // Calls handler with the message of the exception parked for this thread, if any.
    static void handleCaughtException(const std::function<void(const std::string&)>& handler);
};

}  // namespace ostrelo
