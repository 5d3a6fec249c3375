#include "engine/Calculator.h"

#include "engine/LineFormatter.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NumberFormatter.h"

#include <array>

namespace ostrelo {

const std::vector<std::string>& Calculator::currencyCodes() {
    static const std::vector<std::string> codes{
        "AUD", "BGN", "BRL", "CAD", "CHF", "CNY", "CZK", "DKK", "EUR", "GBP", "HKD",
        "HUF", "IDR", "ILS", "INR", "ISK", "JPY", "KRW", "MXN", "MYR", "NOK", "NZD",
        "PHP", "PLN", "RON", "SEK", "SGD", "THB", "TRY", "USD", "ZAR"};
    return codes;
}

Calculator::Calculator() {
    // `ostrelo` has been loaded by its own initialiser, which consumes a pending reset
    // before the memory register is read.
    auto [memoryItems, memoryCount] = MemoryCalculatorStack::loadMemoryItems();
    memoryOstrelo.items = std::move(memoryItems);
    memoryOstrelo.userDefaultsCount = memoryCount;

    takeCurrentLinesFromStacks();
    updatePrimaryString();
    updateMemoryString();
}

void Calculator::reloadFromSettings() {
    // A pending reset is applied before the lines are read, exactly as on creation:
    // reading the old lines first and honouring the reset afterwards would keep the
    // forgotten calculation in memory and store it again with the next push.
    ostrelo = CalculatorStack();
    memoryOstrelo.loadMemoryHonouringReset();

    takeCurrentLinesFromStacks();

    {
        auto suite = SharedSettings::open();
        auto mode = suite->object("dateCalculator");
        auto modeValue = mode ? mode->boolValue() : std::nullopt;
        dateCalculator = modeValue.value_or(false);
        auto digits = suite->object("dateDigits");
        auto digitsValue = digits ? digits->integerValue() : std::nullopt;
        dateDigits = digitsValue.value_or(0);
    }
    if (!dateCalculator) {
        endDateMode(false);
    } else {
        reloadDateTexts();
    }

    updatePrimaryString();
    updateMemoryString();
}

// ---------------------------------------------------------------------------------------
// Keeping in step with the store

Calculator::KeyOperation::KeyOperation(Calculator& calculator) : calculator_(calculator) {
    if (calculator_.keyOperationDepth_ == 0) calculator_.settleWithStore();
    ++calculator_.keyOperationDepth_;
}

Calculator::KeyOperation::~KeyOperation() {
    if (--calculator_.keyOperationDepth_ == 0) calculator_.settleWithStore();
}

bool Calculator::outOfStepWithStore() const {
    return ostrelo.outOfStep || memoryOstrelo.outOfStep || dateModeOutOfStep_;
}

void Calculator::settleWithStore() {
    if (!outOfStepWithStore()) return;
    foundation::Log::warning("calculator: a key's write did not reach the store; the calculation is taken as stored");
    dateModeOutOfStep_ = false;
    ++keyOperationDepth_;  // the reload is no key operation of its own
    reloadFromSettings();
    --keyOperationDepth_;
}

// ---------------------------------------------------------------------------------------
// Shared steps

void Calculator::takeCurrentLinesFromStacks() {
    if (!ostrelo.items.empty()) ostreloLine = ostrelo.items.back();
    if (!memoryOstrelo.items.empty()) memoryOstreloLine = memoryOstrelo.items.back();
    if (ostrelo.items.empty()) {
        ostreloLine.parentheses = 0;
        enterResetLine();
    }
}

std::optional<std::string> Calculator::localeDecimalSeparator() {
    foundation::NumberFormatter formatter;
    std::string separator = formatter.decimalSeparator();
    if (separator.empty()) return std::nullopt;
    return separator;
}

void Calculator::pushCurrentLine() {
    const CalculatorLine& line = ostreloLine;
    ostrelo.pushLine(line.item, line.type, line.digits, line.separator, line.fraction, line.parentheses,
                     line.number);
}

void Calculator::enterResetLine() { enterToken(1, 0, "R", "", 0.0); }

void Calculator::resetCalculation() {
    clearCounter = 0;
    ostrelo.clearStack();
    ostreloLine.parentheses = 0;
    enterResetLine();
}

// ---------------------------------------------------------------------------------------
// Display texts and key states

std::string Calculator::calculationText() const {
    const auto& lines = ostrelo.items;
    if (lines.size() == 1 && lines.front().type == "R") {
        const CalculatorLine& line = lines.front();
        return LineFormatter::formatLine(line.item, line.type, line.digits, line.separator, line.fraction, 1,
                                         line.number, scientificNotation, false, false);
    }
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const CalculatorLine& line = lines[i];
        auto after = static_cast<std::int64_t>(lines.size() - 1 - i);
        text += LineFormatter::formatLine(line.item, line.type, line.digits, line.separator, line.fraction, after,
                                          line.number, scientificNotation, true, false);
    }
    return text;
}

std::string Calculator::memoryText() const {
    const auto& lines = memoryOstrelo.items;
    if (lines.size() == 1 && lines.front().type == "R") {
        const CalculatorLine& line = lines.front();
        return LineFormatter::memoryLineText(line.item, line.type, line.digits, line.separator, line.fraction, 1,
                                             line.number, scientificNotation, false);
    }
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const CalculatorLine& line = lines[i];
        auto after = static_cast<std::int64_t>(lines.size() - 1 - i);
        text += LineFormatter::memoryLineText(line.item, line.type, line.digits, line.separator, line.fraction,
                                              after, line.number, scientificNotation, true);
    }
    return text;
}

void Calculator::updatePrimaryString() {
    primaryString = calculationText();
    updateSecondaryString();
    updateEqualButtonState();

    decimalSeparator = localeDecimalSeparator();
    buttonClearAllText = "C";

    const std::string& type = ostreloLine.type;
    if (type == "N") {
        decimalSeparatorPlusMinus = ostreloLine.separator ? std::optional<std::string>("±") : decimalSeparator;
    } else if (type == "R") {
        if (ostreloLine.number != 0.0) {
            decimalSeparatorPlusMinus = "±";
            buttonClearAllText = "AC";
        } else {
            decimalSeparatorPlusMinus = decimalSeparator;
        }
    } else if (type == "F" || type == "√" || type == ")" || type == "^" || type == "²" || type == "(" ||
               type == "O" || type == "%" || type == "!") {
        // A "²" line (it can arrive through a restore) is titled as after "^".
        decimalSeparatorPlusMinus = decimalSeparator;
    }

    if (buttonClearAllText == "C") {
        if (clearCounter >= 1) {
            clearCounter -= 1;
            if (clearCounter >= 5) {
                buttonClearAllText = "AC";
                clearCounter = 0;
            }
        }
        if (ostrelo.lineCount() == 1 && ostreloLine.number == 0.0 && ostreloLine.digits == 1) {
            buttonClearAllText = "AC";
        }
    }

    static const std::array<const char*, 6> trigonometric{"sin(", "cos(", "tan(", "sin⁻¹(", "cos⁻¹(", "tan⁻¹("};
    static const std::array<const char*, 6> hyperbolic{"sinh(", "cosh(", "tanh(", "sinh⁻¹(", "cosh⁻¹(",
                                                       "tanh⁻¹("};
    const std::string& shown = *primaryString;
    auto containsAny = [&shown](const std::array<const char*, 6>& tokens) {
        for (const char* token : tokens) {
            if (shown.find(token) != std::string::npos) return true;
        }
        return false;
    };
    if (containsAny(trigonometric)) {
        radiantText = radiantFlag ? "rad" : "deg";
        radiantWatchText = radiantText;
    } else if (containsAny(hyperbolic)) {
        radiantFlag = true;
        radiantText = "rad";
        radiantWatchText = "rad";
    } else {
        radiantText = "⚙";
        radiantWatchText = radiantFlag ? "rad" : "deg";
    }

    if (dateCalculator) {
        primaryString = dateCompleteString;
        secondaryString = dateResultString;
        buttonEqualColor = dateError ? ButtonState::error : ButtonState::success;
    }
}

void Calculator::updateSecondaryString() {
    if (ostrelo.lineCount() < 2) {
        secondaryString = "";
        return;
    }
    EvaluationResult result = evaluateExpression(ostrelo.stackText());
    if (result.status == "ERROR" || result.status == "FAILED") {
        secondaryString = "";
        return;
    }
    double value = result.value == 0.0 ? 0.0 : result.value;  // no negative zero
    secondaryString = LineFormatter::formatLine("", "N", 0, true, 0, 1, value, scientificNotation, false, false);
}

void Calculator::updateEqualButtonState() {
    if (ostrelo.items.empty()) {
        buttonEqualColor = ButtonState::error;
        return;
    }
    EvaluationResult result = evaluateExpression(ostrelo.stackText());
    buttonEqualColor =
        (result.status == "ERROR" || result.status == "FAILED") ? ButtonState::error : ButtonState::success;
}

void Calculator::updateMemoryString() {
    if (memoryOstrelo.items.empty()) {
        memoryPrimaryString = "";
        buttonMemoryRecallColor = ButtonState::memoryEmpty;
        return;
    }
    EvaluationResult result = evaluateExpression(memoryOstrelo.memoryItemsText());
    if (result.status == "ERROR" || result.status == "FAILED" || memoryOstrelo.items.size() == 1) {
        memoryPrimaryString = memoryText();
    } else {
        memoryPrimaryString = removeRedundantParentheses(memoryText()) + "=" +
                              LineFormatter::memoryLineText("", "N", 0, true, 0, 1, result.value,
                                                            scientificNotation, false);
    }
    buttonMemoryRecallColor = ButtonState::memoryNotEmpty;
}

}  // namespace ostrelo
