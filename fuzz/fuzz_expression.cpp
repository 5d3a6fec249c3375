// Arbitrary bytes as a calculation text: the translation and the guarded evaluation
// with both flag settings, the display tidy-up, and the evaluator on its own.
#include "engine/ExpressionEvaluation.h"
#include "engine/ExpressionTranslator.h"
#include "engine/NamedFunctions.h"
#include "platform/foundation/Characters.h"
#include "platform/foundation/Expression.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (bool autoParenthesis : {false, true}) {
        const bool radiantFlag = !autoParenthesis;
        const ostrelo::EvaluationResult result = ostrelo::ExpressionEvaluation::evaluate(text, autoParenthesis, radiantFlag);
        if (result.status != "OK" && result.status != "ERROR" && result.status != "FAILED") std::abort();
        if (result.status == "FAILED" && result.value != 0.0) std::abort();
        ostrelo::ExpressionTranslator::removeRedundantParentheses(text, autoParenthesis);
    }
    try {
        const foundation::Expression expression(text);
        expression.evaluate([](const std::string& name, double x) { return ostrelo::NamedFunctions::call(name, x); });
    } catch (const foundation::ExpressionException&) {
    }
    foundation::Characters::count(text);
    foundation::Characters::utf16Length(text);
    return 0;
}
