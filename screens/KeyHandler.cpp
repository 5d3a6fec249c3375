#include "screens/KeyHandler.h"

#include "engine/Calculator.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/NumberFormatter.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/Pasteboard.h"
#include "screens/CalculatorScreen.h"
#include "screens/CurrencyKeys.h"
#include "screens/DisplayRefresh.h"
#include "screens/KeyTitle.h"
#include "screens/OwnCurrency.h"
#include "screens/ScreenProfile.h"
#include "screens/StoreReload.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorPicker.h"

#include <algorithm>
#include <array>
#include <map>

namespace ostrelo {

namespace {

// Keys whose text is passed to one calculator operation as it is.
constexpr std::array<const char*, 12> functionNames = {"sin",  "sin⁻¹", "sinh",  "sinh⁻¹", "cos",    "cos⁻¹",
                                                       "tan",  "tan⁻¹", "cosh",  "tanh",   "cosh⁻¹", "tanh⁻¹"};

// Keys whose caption differs from the function key the calculator takes.
const std::map<std::string, std::string>& captionedFunctionKeys() {
    static const std::map<std::string, std::string> keys{
        {"√x", "√"}, {"x²", "²"}, {"x!", "!"}, {"1∕x", "∕"}, {"xⁿ", "^"}, {"xʸ", "^"}, {"㏑", "㏑"}};
    return keys;
}

bool isOneOf(const std::string& text, std::initializer_list<const char*> texts) {
    return std::any_of(texts.begin(), texts.end(), [&](const char* t) { return text == t; });
}

bool isDigit(const std::string& text) { return text.size() == 1 && text[0] >= '0' && text[0] <= '9'; }

std::string localeDecimalSeparator() { return foundation::NumberFormatter().decimalSeparator(); }

}  // namespace

KeyHandler::KeyHandler(CalculatorScreen& screen)
    : screen_(screen), links_(screen.links()), calculator_(*links_.calculator), guard_(links_.guard) {}

void KeyHandler::handle(CalculatorButton* key, bool longPress, const std::string& given) {
    // One commit for all the writes of the key: a process killed in the middle of it keeps the
    // calculation as it was before the key. The key acts on what another program stored meanwhile.
    const Calculator::StoreCommit commit(calculator_);
    if (commit.storeChangedElsewhere()) StoreReload{screen_}.takeUpChanges();
    if (links_.enableClickSound != nullptr && *links_.enableClickSound)
        uikit::AudioServices::playSystemSound(uikit::AudioServices::keyClick);
    // A key without a title has no text, and no row acts on it: only the key titled "🌐" is the
    // next-keyboard key (the keyboard's angle key goes blank while no angle matters).
    std::string text = key != nullptr ? key->normalTitle() : given;
    if (key != nullptr && longPress) text = remap(*key, text);
    run(key, text);
}

void KeyHandler::act(const std::string& text) {
    const Calculator::StoreCommit commit(calculator_);
    if (commit.storeChangedElsewhere()) StoreReload{screen_}.takeUpChanges();
    run(nullptr, text);
}

void KeyHandler::run(CalculatorButton* key, std::string text) {
    if (screen_.ownKey(key, text)) return finish(Ending::tail);
    finish(dispatch(key, text));
}

bool KeyHandler::isCurrencyCode(const std::string& text) const {
    const auto& codes = calculator_.currency();
    return std::find(codes.begin(), codes.end(), text) != codes.end();
}

std::string KeyHandler::remap(CalculatorButton& key, const std::string& text) {
    for (const LongPressRow& row : links_.profile->longPress) {
        if (row.held.empty() ? !isCurrencyCode(text) : row.held != text) continue;
        if (!holds(row.condition, key)) return text;
        screen_.longPressFeedback(key);
        return row.becomes;
    }
    return text;
}

bool KeyHandler::holds(LongPressRow::Condition condition, const CalculatorButton& key) {
    if (condition != LongPressRow::Condition::ownCurrencyFromKey) return screen_.allows(condition);
    return key.tag == 1 && calculator_.from() == OwnCurrency::row &&
           static_cast<std::int64_t>(calculator_.currency().size()) > OwnCurrency::row;
}

KeyHandler::Ending KeyHandler::dispatch(CalculatorButton* key, const std::string& text) {
    Calculator& c = calculator_;
    if (text == "ex") {
        if (!c.dateCalculator()) OwnCurrency{c}.storeRates();
        return Ending::tail;
    }
    if (links_.sendKey != nullptr && (text == "✅" || text == "✅✅")) return send(text == "✅✅");
    if (key != nullptr && links_.fromKey != nullptr && isCurrencyCode(text)) return currencyKey(*key);
    if (text == "€" || text == "⏎") return switchKeypad(text == "€");
    if (text == "C" || text == "AC") return clearKey(text == "AC");
    if (text == "MS" || text == "ƒ(x)") {
        if (!c.dateCalculator()) screen_.openPanel(text == "MS" ? ScreenPanel::memory : ScreenPanel::functions);
        return Ending::tail;
    }
    if (text == localeDecimalSeparator()) return separatorKey();
    if (text == "𝑑") return dateEquals();
    if (text == "deg" || text == "rad") return degRad();
    if (text == "⚙") return settingsKey();
    if (text == "⇨" || text == reverseConversionKey) return convert(text == reverseConversionKey);
    if (text == "=") return equals();
    if (text == "%%") return loanStart();
    if (text == "𝑖" || text == "𝑚") return loanStep();
    return engineKey(text);
}

KeyHandler::Ending KeyHandler::engineKey(const std::string& text) {
    Calculator& c = calculator_;
    if (text == "M−") c.pressMemoryMinus();
    else if (text == "MR") c.pressMemoryRecall();
    else if (text == "MC") c.pressMemoryClear();
    else if (text == "M+") c.pressMemoryPlus();
    else if (isOneOf(text, {"(", ")", "{", "}"})) c.enterParenthesis(text);
    else if (text == "(⋯)") c.enterParenthesis("(");
    else if (isDigit(text)) c.enterDigit(text);
    else if (text == "±") c.toggleSign();
    else if (isOneOf(text, {"×", "÷", "−", "+"})) c.inputOperator(text);
    else if (auto captioned = captionedFunctionKeys().find(text); captioned != captionedFunctionKeys().end())
        c.enterFunctionKey(captioned->second);
    else if (std::find(functionNames.begin(), functionNames.end(), text) != functionNames.end())
        c.enterFunctionKey(text);
    else if (const auto& constants = links_.profile->constantKeys;
             std::find(constants.begin(), constants.end(), text) != constants.end())
        c.enterFunctionKey(text);
    else
        return Ending::tail;
    return Ending::refresh;
}

KeyHandler::Ending KeyHandler::switchKeypad(bool currency) {
    if (!calculator_.dateCalculator() && links_.functionKey != nullptr) {
        screen_.showKeypad(currency);
        SharedSettings::store(SharedSettings::showCurrency, currency);
    }
    return Ending::tail;
}

KeyHandler::Ending KeyHandler::clearKey(bool all) {
    const bool wasDateMode = calculator_.dateCalculator();
    if (all) calculator_.clearAll();
    else calculator_.clearEntry();
    if (wasDateMode && !calculator_.dateCalculator()) setEqualTitle("=");
    return Ending::refresh;
}

KeyHandler::Ending KeyHandler::separatorKey() {
    if (calculator_.dateCalculator()) return Ending::refresh;
    if (KeyTitle::shown(links_.equalKey) == "=") {
        if (!calculator_.evaluateDateEntry().empty()) setEqualTitle("𝑑");
    } else {
        calculator_.enterDecimalSeparator();
    }
    return Ending::refresh;
}

KeyHandler::Ending KeyHandler::dateEquals() {
    calculator_.calculateDate();
    copyPrimary(false);
    screen_.refreshDisplay();
    setEqualTitle("=");
    calculator_.clearAll();
    return Ending::none;
}

KeyHandler::Ending KeyHandler::equals() {
    calculator_.evaluateEquals(false, "");
    copyPrimary(false);
    return Ending::refresh;
}

KeyHandler::Ending KeyHandler::degRad() {
    calculator_.toggleDegRad();
    SharedSettings::store(SharedSettings::radiant, calculator_.radiantFlag());
    screen_.refreshDisplay();
    return Ending::tail;
}

KeyHandler::Ending KeyHandler::settingsKey() {
    KeyTitle::set(links_.degRadKey, "⚙");
    screen_.openPanel(ScreenPanel::settings);
    return Ending::tail;
}

KeyHandler::Ending KeyHandler::convert(bool reverse) {
    Calculator& c = calculator_;
    if (c.dateCalculator()) return Ending::tail;
    c.chooseCurrencies(links_.fromPicker != nullptr ? links_.fromPicker->selectedRowInComponent(0) : c.from(),
                       links_.toPicker != nullptr ? links_.toPicker->selectedRowInComponent(0) : c.to());
    SharedSettings::store({{SharedSettings::from, c.from()}, {SharedSettings::to, c.to()}});
    const auto rows = static_cast<std::int64_t>(c.currency().size());
    // A picker without rows selects none: there is nothing to convert between.
    bool converted = true;
    if (c.from() >= 0 && c.from() < rows && c.to() >= 0 && c.to() < rows) {
        const std::string& from = c.currency()[static_cast<std::size_t>(c.from())];
        const std::string& to = c.currency()[static_cast<std::size_t>(c.to())];
        converted = reverse ? c.enterCurrencyConversion(to, from) : c.enterCurrencyConversion(from, to);
    }
    screen_.refreshDisplay();
    // A pair without a rate converts nothing, and nothing is copied.
    if (converted) copyPrimary(true);
    return Ending::tail;
}

KeyHandler::Ending KeyHandler::currencyKey(const CalculatorButton& key) {
    if (calculator_.dateCalculator()) return Ending::tail;
    CurrencyKeys{screen_}.step(key);
    CurrencyKeys::queue(screen_, &CurrencyKeys::updateCurrencyTitlesAndSave);
    return Ending::tail;
}

// "✅" sends the result, "✅✅" the whole calculation; the result is copied either way. In date
// mode the date's answer is sent and date mode ends.
KeyHandler::Ending KeyHandler::send(bool wholeCalculation) {
    Calculator& c = calculator_;
    const bool dateMode = c.dateCalculator();
    if (dateMode) c.calculateDate();
    else c.evaluateEquals(false, "");
    copyPrimary(false);
    if (const auto& text = wholeCalculation ? c.secondaryString() : c.primaryString()) screen_.deliver(*text);
    if (guard_.expired()) return Ending::none;
    if (!dateMode) return Ending::refresh;
    screen_.refreshDisplay();
    setEqualTitle("=");
    c.clearAll();
    return links_.profile->dateSendEndsWithTail ? Ending::tail : Ending::none;
}

// ---- Loans --------------------------------------------------------------------------------

KeyHandler::Ending KeyHandler::loanStart() {
    Calculator& c = calculator_;
    if (c.dateCalculator()) return Ending::tail;
    const auto& items = c.ostrelo().items;
    const bool amount = items.size() == 1 && (items[0].type == "N" || items[0].type == "R") &&
                        (items[0].number > 0 || (items[0].number == 0 && links_.profile->loanStartAcceptsZero));
    if (c.creditCurrentStep() != 0) {
        endLoan();
        c.enterFunctionKey("%");
    } else if (amount) {
        c.inputOperator("×");
        c.enterParenthesis("(");
        c.awaitCreditStep(1);
    } else {
        c.endCreditSteps();
        c.enterFunctionKey("%");
    }
    return Ending::refresh;
}

KeyHandler::Ending KeyHandler::loanStep() {
    Calculator& c = calculator_;
    if (c.dateCalculator()) return Ending::tail;
    // Every step, one out of sequence too, refreshes before the tail.
    if (c.creditCurrentStep() + 1 != c.creditNextStep()) {
        endLoan();
        return Ending::refresh;
    }
    c.takeCreditStep();
    const CalculatorLine line = c.ostreloLine();
    if (c.creditCurrentStep() == 1 && line.type == "N" && line.number > 0) {
        enterLoanFormula(line);
        c.awaitCreditStep(2);
        return Ending::refresh;
    }
    const bool months = c.creditCurrentStep() == 2;
    if (months) {
        if (line.type == "N" && line.number >= 1.0 && line.fraction == 0) {
            c.toggleSign();
            c.enterParenthesis(")");
            c.enterParenthesis(")");
        } else {
            // The exponent times 0: the payment cannot be evaluated and shows the error text.
            c.inputOperator("×");
            c.enterDigit("0");
        }
    }
    endLoan();
    c.evaluateEquals(months, "");
    copyPrimary(false);
    return Ending::refresh;
}

// After amount × ( rate: the rest of  P × (r% ÷ 12) ÷ (1 − (r% ÷ 12 + 1) ^ (  up to the months.
void KeyHandler::enterLoanFormula(const CalculatorLine& rate) {
    Calculator& c = calculator_;
    c.enterFunctionKey("%");
    c.inputOperator("÷");
    c.enterDigit("1");
    c.enterDigit("2");
    c.enterParenthesis(")");
    c.inputOperator("÷");
    c.enterParenthesis("(");
    c.enterDigit("1");
    c.inputOperator("−");
    c.enterParenthesis("(");
    c.enterToken(rate.digits, rate.fraction, "N", "", rate.number);
    c.enterFunctionKey("%");
    c.inputOperator("÷");
    c.enterDigit("1");
    c.enterDigit("2");
    c.inputOperator("+");
    c.enterDigit("1");
    c.enterParenthesis(")");
    c.enterFunctionKey("^");
    c.enterParenthesis("(");
}

void KeyHandler::endLoan() { calculator_.endCreditSteps(); }

// Whether the calculation has the shape a waiting loan step expects: the formula up to its
// open parenthesis (3 lines for the rate, 22 for the months), or that and one number typed.
bool KeyHandler::loanStepDue(int step) const {
    const std::int64_t lines = step == 1 ? 3 : 22;
    const CalculatorLine& line = calculator_.ostreloLine();
    const std::int64_t count = calculator_.ostrelo().lineCount();
    return (line.item == "(" && count == lines) || (line.type == "N" && count == lines + 1 && line.number >= 0);
}

void KeyHandler::tail() {
    if (guard_.expired()) return;
    Calculator& c = calculator_;
    if (c.dateCalculator()) return;
    const std::int64_t step = c.creditCurrentStep() + 1;
    // A loan that ends gives the "=" key back its keypad's title: "⇨" on the currency keypad of
    // an upright phone only, as the keypad itself titles it.
    const std::string keypadTitle = DisplayRefresh{screen_}.layoutEqualTitle();
    if (step != c.creditNextStep()) {
        const std::string shown = KeyTitle::shown(links_.equalKey);
        if (shown == "𝑚" || shown == "𝑖") setEqualTitle(keypadTitle);
        endLoan();
    } else if (step == 1 || step == 2) {
        if (loanStepDue(static_cast<int>(step))) {
            setEqualTitle(step == 1 ? "𝑖" : "𝑚");
        } else {
            setEqualTitle(keypadTitle);
            endLoan();
        }
    } else {
        setEqualTitle("=");
    }
    // A screen with a second line shows the prompt there: it follows the "=" key's new title.
    if (links_.secondaryLine != nullptr) screen_.refreshDisplay();
}

// -------------------------------------------------------------------------------------------

void KeyHandler::finish(Ending ending) {
    if (guard_.expired()) return;
    if (ending == Ending::refresh) screen_.refreshDisplay();
    if (ending != Ending::none) tail();
}

void KeyHandler::copyPrimary(bool emptyWhenNone) {
    if (calculator_.primaryString()) uikit::Pasteboard::general().setString(*calculator_.primaryString());
    else if (emptyWhenNone) uikit::Pasteboard::general().setString("");
}

void KeyHandler::setEqualTitle(const std::string& title) { KeyTitle::set(links_.equalKey, title); }

}  // namespace ostrelo
