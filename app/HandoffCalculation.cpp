#include "app/HandoffCalculation.h"

#include "engine/Calculator.h"
#include "engine/LineFormatter.h"
#include "engine/KeptLineTexts.h"
#include "platform/foundation/Characters.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserActivity.h"
#include "platform/foundation/UserDefaults.h"
#include "screens/AppIdentity.h"

#include <algorithm>
#include <array>
#include <vector>

namespace ostrelo {

namespace {

// Every part between separators, empty ones included: "a;;b;" gives "a", "", "b", "".
std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

std::string recordText(const CalculatorLine& line, bool loneResult) {
    return LineFormatter::formatLine(line.item, line.type, line.digits, line.separator, line.fraction, 1, line.number,
                                     false, !loneResult, true);
}

bool isOneOf(std::string_view text, std::initializer_list<std::string_view> texts) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The line a cleared calculation starts with: a lone zero result.
bool holdsOnlyTheResetLine(const Calculator& calculator) {
    return calculator.ostrelo().items.size() == 1 && calculator.ostreloLine().type == "R" &&
           calculator.ostreloLine().number == 0.0;
}

// The digits a constant key gives its line.
constexpr std::int64_t constantDigits = 9;
constexpr std::int64_t constantFraction = 8;

}  // namespace

std::string HandoffCalculation::activityType() {
    std::string type = AppIdentity::bundleIdentifier;
    std::transform(type.begin(), type.end(), type.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return type + ".handoff";
}

std::string HandoffCalculation::text(const Calculator& calculator) {
    KeptLineTexts kept;
    return text(calculator, kept);
}

std::string HandoffCalculation::text(const Calculator& calculator, KeptLineTexts& kept) {
    const auto& lines = calculator.ostrelo().items;
    if (lines.size() == 1 && lines.front().type == "R") return recordText(lines.front(), true) + "#R;";
    return kept.joined(calculator.ostrelo(), lines.size(), foundation::Locale::currentIdentifier(),
                       [](const CalculatorLine& line) { return recordText(line, false) + "#" + line.type + ";"; });
}

std::optional<std::string> HandoffCalculation::acceptedText(const foundation::UserActivity& activity) {
    if (activity.activityType() != activityType()) {
        foundation::Log::info("an activity of another type was not continued");
        return std::nullopt;
    }
    const auto entry = activity.userInfo().find(userInfoKey);
    if (entry == activity.userInfo().end()) {
        foundation::Log::info("an activity without a calculation was not continued");
        return std::nullopt;
    }
    if (entry->second.size() > longestText) {
        foundation::Log::warning("a continued calculation of " + std::to_string(entry->second.size()) +
                                 " bytes, more than " + std::to_string(longestText) + ", was refused");
        return std::nullopt;
    }
    return entry->second;
}

void HandoffCalculation::restore(Calculator& calculator, const std::string& text) {
    // One commit: another deliverable never reads half a calculation.
    const Calculator::StoreCommit commit(calculator);
    calculator.clearAll();
    if (text.find('\0') != std::string::npos || !foundation::Characters::isValidUtf8(text)) {
        foundation::Log::warning("a continued calculation that is not text was not restored");
    } else {
        for (std::string_view piece : split(text, ';')) {
            const std::vector<std::string_view> parts = split(piece, '#');
            if (parts.size() == 2) restoreRecord(calculator, std::string(parts[0]), std::string(parts[1]));
        }
    }
    calculator.reloadFromSettings();
}

void HandoffCalculation::restoreRecord(Calculator& calculator, const std::string& text, const std::string& type) {
    if (type == "N" || type == "R") return restoreNumber(calculator, text);
    if (!isKeyText(text, type)) return;
    // A group, root or function at the start takes the place of the reset line, as its key does.
    if ((type == "(" || type == "√" || type == "F") && holdsOnlyTheResetLine(calculator)) calculator.dropLastLine();
    if (type == "(") calculator.pushOpenParenthesis();
    else if (type == ")") calculator.pushCloseParenthesis();  // dropped where no group is open
    else calculator.appendSymbolLine(text, type);
}

// A number as the pasteboard's numbers are read ("12abc" is 12, "(−5)" is −5; one too large to
// calculate with is left out, logged), or a constant as its key enters it: in place of a number,
// or after an operator, "(", "√" or "^".
void HandoffCalculation::restoreNumber(Calculator& calculator, const std::string& text) {
    calculator.enterResetLineWhenEmpty();
    const std::optional<double> constant = Calculator::constantValue(text);
    if (!constant) {
        if (!calculator.importCalculationText(text, true))
            foundation::Log::warning("a number of the continued calculation is too large to calculate with: left out");
        return;
    }
    const std::string& last = calculator.ostreloLine().type;
    if (last == "N" || last == "R") calculator.dropLastLine();
    else if (!isOneOf(last, {"O", "(", "√", "^"})) return;
    calculator.enterToken(constantDigits, constantFraction, "N", text, *constant);
}

// Whether a record's text is one a key enters for its type: an operator, a function name, or
// the symbol itself.
bool HandoffCalculation::isKeyText(std::string_view text, std::string_view type) {
    if (type == "O") return isOneOf(text, {"+", "−", "×", "÷"});
    if (type == "F") return Calculator::isFunctionName(std::string(text));
    return isOneOf(type, {"(", ")", "√", "²", "!", "%", "^"}) && text == type;
}

}  // namespace ostrelo
