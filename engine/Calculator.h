#pragma once

#include "engine/ButtonState.h"
#include "engine/CalculatorLine.h"
#include "engine/CalculatorStack.h"
#include "engine/EvaluationResult.h"
#include "engine/KeptLineTexts.h"
#include "engine/MemoryCalculatorStack.h"
#include "platform/foundation/Lifetime.h"
#include "platform/foundation/UserDefaults.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace foundation {
class Timer;
}

namespace ostrelo {

// The calculation object of one calculator screen. It owns the calculation being
// entered (a stack of typed lines, written through to the suite, and the current line),
// the memory register, the texts and key states the screen shows and the modes that
// change entry, evaluation and display. Screens call one operation per key with the
// key caption and then read the display properties.
//
// The operations live in several sources by family: Calculator.cpp (creation, reload,
// display texts and key states), CalculatorNumberEntry.cpp, CalculatorOperatorEntry.cpp,
// CalculatorClearKeys.cpp, CalculatorFunctionKeys.cpp, CalculatorEvaluation.cpp and
// CalculatorDateMode.cpp (the date-mode branches).
//
// The store (Calculator.cpp, "Keeping the store"): every operation's writes, and all the writes
// of a key (StoreCommit), go to the store in one commit on the calculator's own connection. When
// the store does not take them (full, read-only, locked past `storeWait`), the calculation stays
// as typed in memory and is unsaved: the calculator says so once in the log, writes nothing line
// by line, and writes the whole calculation, memory and date state at the end of the next
// operation or key, and on a timer that backs off from 1 s to 4 s, until the store takes it. A key
// is the latest word, so it writes over the store; a retry (the timer, an activation's reload, the
// last try when the calculator ends) does not: when another program stored a calculation, memory
// or date state after the last unsaved key, that one is taken up and the unsaved calculation is
// given up with its text in the log. A last try that fails logs the text too.
class Calculator {
    // Declared first, so that the store's version is taken before the stacks are loaded.
    std::shared_ptr<foundation::UserDefaults> suite_;
    std::optional<std::int64_t> seenVersion_;
    // The store's file the calculator has written to or read (UserDefaults::storeFile).
    std::uint64_t storeFile_ = suite_->storeFile();
    // No key and no reload since the calculator read the suite at its creation.
    bool asCreated_ = true;

public:
    // Where pushSymbolLine puts its line.
    enum class Placement { append, insertFirst };

    // The 31 currency codes in alphabetical order ("EUR" is 8, "USD" is 29).
    static const std::vector<std::string>& currencyCodes();
    // The row of the user's own currency, right after the listed codes.
    static constexpr std::int64_t ownCurrencyRow = 31;

    // Loads both stacks from the suite (a pending reset is honoured first), makes
    // sure the calculation holds at least one line and refreshes every display text.
    Calculator();
    // An unsaved calculation has a last try at the store; when it fails, the calculation's text
    // goes to the log.
    ~Calculator();
    // Neither copied nor moved: the retry timer of an unsaved calculation, and the screen's links,
    // point at this object. A screen that replaces its calculator makes the new one in the old
    // one's place (std::optional::emplace), after the old one's last try.
    Calculator(const Calculator&) = delete;
    Calculator(Calculator&&) = delete;
    Calculator& operator=(const Calculator&) = delete;
    Calculator& operator=(Calculator&&) = delete;

    // Re-reads both stacks, the current lines and the date mode from the suite and
    // refreshes every display text and key state. A pending reset is applied first.
    // An unsaved calculation is written first; while the store does not take it, the
    // calculation in memory is kept as it is.
    void reloadFromSettings();
    // Whether the suite still holds what the calculator read at its creation: no key since, no
    // other program's commit, the same store file, nothing unsaved, no date mode stored. A reload
    // would read the same.
    bool storeAsCreated() const;

    // The longest a key waits for the store.
    static constexpr std::chrono::milliseconds storeWait{100};

    // Everything done to the calculation while one lives (one key) goes to the store in one
    // commit when the outermost ends; nested ones do nothing. At its start it tells whether
    // another program stored another calculation, memory or date state since the calculator last
    // read it (never while the calculation is unsaved: what was typed here is then written over
    // the store's).
    class StoreCommit {
    public:
        explicit StoreCommit(Calculator& calculator);
        ~StoreCommit();
        StoreCommit(const StoreCommit&) = delete;
        StoreCommit& operator=(const StoreCommit&) = delete;

        bool storeChangedElsewhere() const { return changedElsewhere_; }

    private:
        Calculator& calculator_;
        std::weak_ptr<void> alive_;
        std::unique_ptr<foundation::UserDefaults::Batch> batch_;
        std::optional<std::int64_t> version_;
        bool changedElsewhere_ = false;
    };

    // Whether the store lacks something of the calculation, memory or date state in memory.
    bool unsaved() const;
    // What a retry came to when it ended the unsaved state: the calculation stored (on the timer
    // or at a reload), or another program's newer one taken up in its place on the timer (the
    // calculator holds that one now; a reload shows it anyway).
    enum class RetryOutcome { stored, tookUpNewer };
    // Told after such a retry (the screen shows, or publishes, what the calculator now holds).
    void observeRetries(std::function<void(RetryOutcome)> observer) { retryObserver_ = std::move(observer); }
    // How long the last commit waited for the store, as planned (at most `storeWait`).
    std::chrono::milliseconds lastStoreWait() const { return lastStoreWait_; }

    // Display texts and key states.
    void updatePrimaryString();
    void updateSecondaryString();
    void updateEqualButtonState();
    void updateMemoryString();

    // Number entry: "0" to "9" and the locale's decimal separator.
    void enterDigit(const std::string& key);
    void enterDecimalSeparator();
    void toggleSign();
    void appendDigit(const std::string& key);

    // Operator entry: "+", "−", "×", "÷".
    void inputOperator(const std::string& op);
    void pushOperatorLine(const std::string& op);

    // Clear keys.
    void clearEntry();
    void clearAll();
    void popLastLine();

    // The names a function line holds ("sin", "cos⁻¹", "㏑", "log", ...), and the value of a
    // constant ("𝜋", "𝑒", "𝜑"; none for any other text).
    static bool isFunctionName(const std::string& key);
    static std::optional<double> constantValue(const std::string& symbol);

    // Functions, constants, random numbers, parentheses and the loan key.
    void enterToken(std::int64_t digits, std::int64_t fraction, const std::string& type, const std::string& item,
                    double number);
    void enterFunctionKey(const std::string& key);
    void toggleDegRad();
    void enterParenthesis(const std::string& key);
    void pushSymbolLine(const std::string& item, const std::string& type, Placement placement);
    void appendSymbolLine(const std::string& item, const std::string& type);
    void repushLine(const std::string& item, const std::string& type, std::int64_t digits, bool separator,
                    std::int64_t fraction, double number);
    void insertLeadingNumber(std::int64_t digits, std::int64_t fraction, double number);
    void pushOpenParenthesis();
    void pushCloseParenthesis();
    static std::int64_t decimalDigitCount(std::int64_t n);

    // Evaluation and the "=" key.
    EvaluationResult evaluateExpression(const std::string& text) const;
    std::string expressionFormat(const std::string& text) const;
    std::string removeRedundantParentheses(const std::string& text) const;
    void evaluateEquals(bool money, const std::string& unit);

    // The convert key (CalculatorCurrencyConversion.cpp): the whole calculation times the
    // stored rate of the pair, evaluated with money formatting and `to` as the unit. False,
    // with nothing changed, while date mode is on, and when no rate is stored for two
    // different currencies neither of which is the own currency (the "=" key's state then
    // shows the error).
    bool enterCurrencyConversion(const std::string& from, const std::string& to);

    // ---- Date calculator, memory keys, text export and import ------------------------
    // (CalculatorDateMode.cpp, CalculatorMemoryKeys.cpp, CalculatorTextTransfer.cpp)

    // The separator key while date mode is off: turns a typed day and month, or "0.",
    // into a date. Returns `dateString` when the entry has just become a date, else "".
    std::string evaluateDateEntry();
    // The date key "𝑑": the answer into the display texts, then date mode ends.
    void calculateDate();

    // Memory register keys "M+", "M−", "MR", "MC".
    void pressMemoryPlus();
    void pressMemoryMinus();
    void pressMemoryRecall();
    void pressMemoryClear();
    // The dispatcher on the caption; any other text, and every key while date mode is on,
    // does nothing.
    void pressMemoryKey(const std::string& key);
    void pushMemoryOperator(const std::string& op);
    void pushMemoryOpenParenthesis();
    void pushMemoryCloseParenthesis();
    void pushMemoryNumber(std::int64_t digits, std::int64_t fraction, double number);
    void recallMemory();

    // Text export for the pasteboard and import of one pasted or handed-over number (no
    // import while date mode is on; a text without a leading number enters 0). False when the
    // text starts with a number too large for a double: nothing is entered.
    std::string resultText() const;
    std::string expressionText() const;
    bool importCalculationText(const std::string& text, bool plainFormat);
    // ---- end of date calculator, memory keys, text export and import ------------------

    // ---- What the screens set (Calculator.cpp) ---------------------------------------------
    // The rows of `currency` converted from and to, as a picker, a currency key or the store
    // chose them (taken as they are: a row outside the list converts nothing).
    void chooseCurrencies(std::int64_t fromRow, std::int64_t toRow);
    // The own currency at `ownCurrencyRow`, in place of one there before.
    void setOwnCurrency(const std::string& code);
    // No own currency: its row leaves the list, and a side on it moves to the row before.
    void clearOwnCurrency();
    // Angles in radians (true) or degrees, as stored; the display texts follow at the next
    // refresh.
    void setRadiantFlag(bool radians);
    // The preferences the calculator follows; the display texts follow at the next refresh.
    void setScientificNotation(bool scientific);
    void setAutoParenthesis(bool automatic);
    // The loan prompts: the step the next "𝑖"/"𝑚" key completes (creditNextStep), the step
    // being completed (creditCurrentStep advances by one), and the end of the prompts (both 0).
    void awaitCreditStep(std::int64_t step);
    void takeCreditStep();
    void endCreditSteps();
    // A calculation rebuilt line by line (a continued activity): the last line off the stack
    // (the current line keeps its values for the line entered in its place), and the reset line
    // when the stack is empty.
    void dropLastLine();
    void enterResetLineWhenEmpty();

    // ---- The state, by its names; only the operations above change it ----------------------
    // The calculation and its current line (always a copy of the last stack line;
    // its `parentheses` is the running count of open parentheses).
    const CalculatorStack& ostrelo() const { return ostrelo_; }
    const CalculatorLine& ostreloLine() const { return ostreloLine_; }
    // The memory register and its last line.
    const MemoryCalculatorStack& memoryOstrelo() const { return memoryOstrelo_; }
    const CalculatorLine& memoryOstreloLine() const { return memoryOstreloLine_; }

    const std::optional<std::string>& primaryString() const { return primaryString_; }
    const std::optional<std::string>& secondaryString() const { return secondaryString_; }
    const std::optional<std::string>& memoryPrimaryString() const { return memoryPrimaryString_; }
    const std::optional<std::string>& buttonClearAllText() const { return buttonClearAllText_; }
    const std::optional<ButtonState>& buttonMemoryRecallColor() const { return buttonMemoryRecallColor_; }
    const std::optional<ButtonState>& buttonEqualColor() const { return buttonEqualColor_; }
    const std::optional<std::string>& decimalSeparator() const { return decimalSeparator_; }
    const std::optional<std::string>& decimalSeparatorPlusMinus() const { return decimalSeparatorPlusMinus_; }
    bool scientificNotation() const { return scientificNotation_; }
    std::int64_t clearCounter() const { return clearCounter_; }
    bool radiantFlag() const { return radiantFlag_; }
    const std::optional<std::string>& radiantText() const { return radiantText_; }
    const std::optional<std::string>& radiantWatchText() const { return radiantWatchText_; }
    bool autoParenthesis() const { return autoParenthesis_; }
    std::int64_t creditNextStep() const { return creditNextStep_; }
    std::int64_t creditCurrentStep() const { return creditCurrentStep_; }
    bool dateCalculator() const { return dateCalculator_; }
    const std::string& dateString() const { return dateString_; }
    const std::string& dateCompleteString() const { return dateCompleteString_; }
    const std::string& dateResultString() const { return dateResultString_; }
    std::int64_t dateDigits() const { return dateDigits_; }
    bool dateError() const { return dateError_; }
    std::int64_t from() const { return from_; }
    std::int64_t to() const { return to_; }
    const std::vector<std::string>& currency() const { return currency_; }

    // Tests set up states that no key sequence reaches.
    friend class CalculatorTestApi;

private:
    // The state behind the accessors above, in their order.
    CalculatorStack ostrelo_;
    CalculatorLine ostreloLine_{"0", "R", 0.0, 1, false, 0, 0};
    MemoryCalculatorStack memoryOstrelo_;
    CalculatorLine memoryOstreloLine_{"0", "R", 0.0, 1, false, 0, 0};
    std::optional<std::string> primaryString_;
    std::optional<std::string> secondaryString_;
    std::optional<std::string> memoryPrimaryString_;
    std::optional<std::string> buttonClearAllText_;
    std::optional<ButtonState> buttonMemoryRecallColor_;
    std::optional<ButtonState> buttonEqualColor_;
    std::optional<std::string> decimalSeparator_;
    std::optional<std::string> decimalSeparatorPlusMinus_;
    bool scientificNotation_ = false;
    std::int64_t clearCounter_ = 0;
    bool radiantFlag_ = false;
    std::optional<std::string> radiantText_;
    std::optional<std::string> radiantWatchText_;
    bool autoParenthesis_ = true;
    std::int64_t creditNextStep_ = 0;
    std::int64_t creditCurrentStep_ = 0;
    bool dateCalculator_ = false;
    std::string dateString_;
    std::string dateCompleteString_;
    std::string dateResultString_;
    std::int64_t dateDigits_ = 0;
    bool dateError_ = false;
    std::int64_t from_ = 0;
    std::int64_t to_ = 0;
    std::vector<std::string> currency_ = currencyCodes();

    // The outermost StoreCommit's end: the whole state written when unsaved, the commit, and the
    // unsaved state begun or ended by its outcome.
    void finishStoreCommit(foundation::UserDefaults::Batch& batch, std::optional<std::int64_t> version);
    // Writes calculation, memory and date state whole (inside the current batch).
    bool writeWhole();
    // Whether the store's calculation, memory or date state is not this calculator's.
    bool storeHoldsAnotherCalculation() const;
    // When the store's file was removed or replaced since the calculator last used it, everything
    // goes to the new one whole at the end of the current commit. True when it had.
    bool followStoreFile();
    // Whether the store has moved to another file that holds no calculation (the one the
    // calculator used was removed).
    bool storeFileLost() const;
    void markUnsaved(const std::string& reason);
    void armRetry();
    void retrySave();
    // The unsaved calculation written whole in a commit of its own, unless another program stored
    // a calculation after the last unsaved key: that one is then taken up (unsavedGivenUp).
    enum class SaveOutcome { stored, givenUp, failed };
    SaveOutcome saveUnsaved();
    void unsavedGivenUp();
    void endUnsavedEpisode();
    // The calculation, memory and date state in the store, and the store's version when it was read.
    struct StoredState {
        std::optional<std::int64_t> version;
        std::vector<CalculatorLine> lines;
        std::vector<CalculatorLine> memory;
        bool dateMode = false;
        std::int64_t dateDigits = 0;
    };
    StoredState storedState(std::optional<std::int64_t> version) const;
    // What the store held at the last unsaved key; another program stored since when the store's
    // version and content both differ from it.
    std::optional<StoredState> storeAtLastUnsavedKey_;
    bool storedElsewhereSinceLastUnsavedKey(std::optional<std::int64_t> version) const;
    std::function<void(RetryOutcome)> retryObserver_;
    int commitDepth_ = 0;
    bool dateModeOutOfStep_ = false;
    // An unsaved episode is under way (it was logged).
    bool unsavedEpisode_ = false;
    std::chrono::milliseconds lastStoreWait_{0};
    std::shared_ptr<foundation::Timer> retryTimer_;
    double retryDelay_ = 1.0;

    // The calculation's evaluation, none while it has no line, and the second line and the "="
    // key's state shown from it.
    std::optional<EvaluationResult> evaluateCalculation() const;
    // The expression text of the calculation's lines, each line's part kept while it stays.
    mutable KeptLineTexts expressionLines_;
    void showSecondaryString(const std::optional<EvaluationResult>& result);
    void showEqualButtonState(const std::optional<EvaluationResult>& result);

    // The locale's decimal separator, read afresh from a new number formatter; none when it has none.
    static std::optional<std::string> localeDecimalSeparator();
    // Appends the current line to the stack (all seven fields).
    void pushCurrentLine();
    // The reset line: "R", empty item, number 0, one digit, at the current parenthesis count.
    void enterResetLine();
    // After loading: the current lines become copies of the stacks' last lines; an empty
    // calculation gets its reset line.
    void takeCurrentLinesFromStacks();
    // clearCounter 0, every stored line removed, count 0, and the reset line.
    void resetCalculation();
    // The display text of the calculation, or of the memory register. The texts of the lines
    // before the last are kept from key to key (the last line is shown as typed).
    std::string calculationText() const;
    mutable KeptLineTexts shownLines_;
    std::string memoryText() const;
    // The operator rule by the current line's type, without refresh.
    void applyOperatorTokenRule(const std::string& op);
    // The digit rule by the current line's type, without refresh.
    void applyDigitByLineType(const std::string& key);
    // The rule of one function key (not the loan key), without refresh.
    void applyFunctionKey(const std::string& key);
    void applyRandomRule();
    void applyReciprocal();
    void reciprocalOfWhole();
    void enterLoanKey();
    // Removes the last digit of the current number line as typed.
    void removeLastDigit();

    // Date-mode seams: the date calculator fills these in.
    void enterDigitInDateMode(const std::string& key);
    void inputOperatorInDateMode(const std::string& op);
    void clearEntryDateStep();
    void reloadDateTexts();
    void rebuildDateTexts();
    // Leaves date mode and stores that; `keepDateString` as the clear keys do.
    void endDateMode(bool keepDateString);
    // Stores the date mode and its digits together (unchanged values are not written again).
    void storeDateMode(bool mode, std::int64_t digits);

    // ---- Date calculator helpers (CalculatorDateMode.cpp, CalculatorMemoryKeys.cpp) -----
    // The first line read as a date: day and month as typed and as numbers, the year
    // digits and the date texts. Every length cut from the line is kept within its text.
    struct DateReading {
        std::int64_t day = 0;
        std::int64_t month = 0;
        std::string monthDigits;   // the month as typed ("03")
        std::string yearDigits;    // the digits after day and month, as shown
        std::string dateString;    // "24.12."
        std::string fullDateText;  // "24.12.2026"
    };
    DateReading readDateLine() const;
    // Completes a first line typed without a year with the current year.
    void completeYearOfFirstLine();
    // The text of a stack line as the date texts show it.
    std::string dateLineText(std::size_t index) const;
    // The first line's date plus or minus the third line's days, "24.12.2026" + 10 -> "3.1.2027".
    std::optional<std::string> shiftedDateText(const DateReading& reading) const;
    // Makes `line` the register's last line and appends it to the register.
    void storeMemoryLine(const CalculatorLine& line);
    void pushMemoryCopyOfLine(const CalculatorLine& line);
    void applyMemoryPlusMinus(const std::string& key);
    void applyMemoryRecall();
    // ---- end of date calculator helpers --------------------------------------------------

    // Last: ends before anything its retry timer could reach.
    foundation::Lifetime lifetime_;
};

}  // namespace ostrelo
