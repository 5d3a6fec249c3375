#pragma once

#include "screens/LongPressRow.h"

#include <memory>
#include <string>

namespace ostrelo {

class Calculator;
class CalculatorButton;
struct CalculatorLine;
class CalculatorScreen;
struct ScreenLinks;

// The one road from a key of a calculator screen to its calculator: the click, the key's text
// (its title, or the text given for a key without a button), the
// long-press remap of the screen's profile, the screen's own keys (CalculatorScreen::ownKey),
// one action per text, and the ending: the display refresh and the tail that titles the "=" key
// for the loan prompts. A loan (annuity) is typed as amount, "%%", rate, "𝑖", months, "𝑚"; the
// handler feeds the whole payment formula into the calculator. What a screen lacks it skips:
// keypad layouts without a function key, currency steps without currency keys, sending
// ("✅", "✅✅") without a send key.
//
// Every key's writes go to the store in one commit (Calculator::StoreCommit); a key that finds the
// store changed by another program since its calculator last read it first takes the change up as
// an activation does (StoreReload).
//
// Made per call; holds references to the screen only, and stops once the screen is gone.
class KeyHandler {
public:
    // The long-press alternate of "⇨": converts from the to-currency to the from-currency.
    static constexpr const char* reverseConversionKey = "⇦";

    explicit KeyHandler(CalculatorScreen& screen);

    void handle(CalculatorButton* key, bool longPress, const std::string& given);
    // A key's text acted on as `handle` does after the click and the long-press remap: its
    // action and its ending (a hardware key runs its on-screen twin this way).
    void act(const std::string& text);
    // The end of every key but the date key: while a loan step waits the "=" key shows its
    // prompt title ("𝑖" for the rate, "𝑚" for the months); any other shape of the calculation
    // ends the loan. Then a screen with a second line refreshes its display. Nothing happens
    // in date mode.
    void tail();

private:
    enum class Ending { refresh, tail, none };

    // The key's own step on its screen, or its action; then its ending.
    void run(CalculatorButton* key, std::string text);
    std::string remap(CalculatorButton& key, const std::string& text);
    bool holds(LongPressRow::Condition condition, const CalculatorButton& key);
    bool isCurrencyCode(const std::string& text) const;
    Ending dispatch(CalculatorButton* key, const std::string& text);
    Ending currencyKey(const CalculatorButton& key);
    Ending send(bool wholeCalculation);
    Ending engineKey(const std::string& text);
    Ending clearKey(bool all);
    Ending separatorKey();
    Ending dateEquals();
    Ending equals();
    Ending degRad();
    Ending settingsKey();
    Ending switchKeypad(bool currency);
    Ending convert(bool reverse);
    Ending loanStart();
    Ending loanStep();
    void enterLoanFormula(const CalculatorLine& rate);
    void endLoan();
    bool loanStepDue(int step) const;
    void finish(Ending ending);
    void copyPrimary(bool emptyWhenNone);
    void setEqualTitle(const std::string& title);

    CalculatorScreen& screen_;
    const ScreenLinks& links_;
    Calculator& calculator_;
    std::weak_ptr<void> guard_;
};

}  // namespace ostrelo
