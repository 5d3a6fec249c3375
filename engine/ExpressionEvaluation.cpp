#include "engine/ExpressionEvaluation.h"

#include "engine/ExpressionTranslator.h"
#include "engine/NamedFunctions.h"
#include "platform/foundation/DecimalNumber.h"
#include "platform/foundation/Expression.h"

#include <cmath>
#include <optional>

namespace ostrelo {

namespace {

// The exception caught by the most recent guarded run on this thread.
thread_local std::optional<foundation::ExpressionException> lastTryCatchException;

}  // namespace

EvaluationResult ExpressionEvaluation::evaluate(const std::string& text, bool autoParenthesis, bool radiantFlag) {
    EvaluationResult result;
    if (text.empty()) {
        result.status = "FAILED";
        return result;
    }
    const std::string format = ExpressionTranslator::expressionFormat(text, autoParenthesis, radiantFlag);
    // A text typed half-way ("12+") is unreadable at most keys: it fails without an exception.
    const auto expression = foundation::Expression::read(format);
    if (!expression) {
        result.status = "FAILED";
        return result;
    }
    runCatchingException([&] { evaluateExpression(*expression, result.value, result.status); });
    handleCaughtException([&](const std::string&) { result.status = "FAILED"; });
    return result;
}

void ExpressionEvaluation::evaluateExpressionFormat(const std::string& format, double& value, std::string& status) {
    evaluateExpression(foundation::Expression(format), value, status);
}

void ExpressionEvaluation::evaluateExpression(const foundation::Expression& expression, double& value,
                                              std::string& status) {
    bool nonFinite = false;
    const double v = expression.evaluate(
        [](const std::string& name, double argument) { return NamedFunctions::call(name, argument); }, &nonFinite);
    value = v;
    // A division by zero or a domain error anywhere makes the whole calculation an error,
    // even when later steps bring the value back to a finite one (1÷(1÷0) is not 0).
    if (nonFinite) {
        status = "ERROR";
        return;
    }
    const int places = decimalPlaces(v);
    if (places == 0) return;
    // The places were found where v is integral within 1e-7, which v can reach from just
    // below (114.14999999999999 × 100 lands on 11415): cutting toward zero would then drop
    // a whole unit of the last place, so the digits are rounded at that place instead.
    value = foundation::DecimalNumber::roundHalfAwayFromZero(v, places);
}

int ExpressionEvaluation::decimalPlaces(double x) {
    double integral = 0.0;
    double f = std::fabs(std::modf(x, &integral));
    if (!(f > 1e-7)) return 0;
    int n = 0;
    do {
        ++n;
        x = x * 10;
        f = std::fabs(std::modf(x, &integral));
    } while (!(f <= 1e-7) && n != 18);
    return n;
}

void ExpressionEvaluation::runCatchingException(const std::function<void()>& block) {
    lastTryCatchException.reset();
    try {
        block();
    } catch (const foundation::ExpressionException& exception) {
        lastTryCatchException = exception;
    }
}

void ExpressionEvaluation::handleCaughtException(const std::function<void(const std::string&)>& handler) {
    if (lastTryCatchException) handler(lastTryCatchException->what());
}

}  // namespace ostrelo
