#include "engine/Calculator.h"

#include "engine/LineFormatter.h"
#include "engine/SharedSettings.h"
#include "engine/StackLineRecord.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NumberFormatter.h"
#include "platform/foundation/Timer.h"

#include <algorithm>
#include <array>

namespace ostrelo {

namespace {

// The date mode and its digits as the store holds them (absent, or of another kind: off, 0).
struct StoredDateMode {
    bool mode;
    std::int64_t digits;
};

StoredDateMode storedDateMode(const foundation::UserDefaults& suite) {
    const auto mode = suite.object(SharedSettings::dateCalculator);
    const auto digits = suite.object(SharedSettings::dateDigits);
    return {mode && mode->boolValue().value_or(false), digits ? digits->integerValue().value_or(0) : 0};
}

}  // namespace

const std::vector<std::string>& Calculator::currencyCodes() {
    static const std::vector<std::string> codes{
        "AUD", "BGN", "BRL", "CAD", "CHF", "CNY", "CZK", "DKK", "EUR", "GBP", "HKD",
        "HUF", "IDR", "ILS", "INR", "ISK", "JPY", "KRW", "MXN", "MYR", "NOK", "NZD",
        "PHP", "PLN", "RON", "SEK", "SGD", "THB", "TRY", "USD", "ZAR"};
    return codes;
}

Calculator::Calculator()
    : suite_(SharedSettings::open()), seenVersion_(suite_->dataVersion()) {
    // `ostrelo` has been loaded by its own initialiser, which consumes a pending reset
    // before the memory register is read.
    auto [memoryItems, memoryCount] = MemoryCalculatorStack::loadMemoryItems();
    memoryOstrelo_.items = std::move(memoryItems);
    memoryOstrelo_.userDefaultsCount = memoryCount;

    takeCurrentLinesFromStacks();
    updatePrimaryString();
    updateMemoryString();
}

Calculator::~Calculator() {
    if (!unsaved() || !suite_) return;
    if (saveUnsaved() == SaveOutcome::failed)
        foundation::Log::warning("calculator: the calculation could not be stored: " + calculationText());
    if (retryTimer_) retryTimer_->invalidate();
}

bool Calculator::storeAsCreated() const {
    if (!asCreated_ || !seenVersion_ || unsaved() || suite_->storeFile() != storeFile_ ||
        suite_->dataVersion() != seenVersion_)
        return false;
    // The date mode is first read by a reload; out of it, a reload would leave all as it is.
    const StoredDateMode stored = storedDateMode(*suite_);
    return !dateCalculator_ && !stored.mode && stored.digits == 0 && dateDigits_ == 0;
}

void Calculator::reloadFromSettings() {
    asCreated_ = false;
    if (unsaved() || storeFileLost()) {
        const SaveOutcome outcome = saveUnsaved();
        if (outcome == SaveOutcome::failed) return;
        if (outcome == SaveOutcome::stored && retryObserver_) retryObserver_(RetryOutcome::stored);
    }
    // A store replaced by one that holds a calculation is read as it is.
    storeFile_ = suite_->storeFile();
    // Taken before the reads: a change that lands meanwhile shows at the next key.
    seenVersion_ = suite_->dataVersion();
    // A pending reset is applied before the lines are read, exactly as on creation:
    // reading the old lines first and honouring the reset afterwards would keep the
    // forgotten calculation in memory and store it again with the next push.
    ostrelo_ = CalculatorStack();
    memoryOstrelo_.loadMemoryHonouringReset();

    takeCurrentLinesFromStacks();

    const StoredDateMode stored = storedDateMode(*SharedSettings::open());
    dateCalculator_ = stored.mode;
    dateDigits_ = stored.digits;
    if (!dateCalculator_) {
        endDateMode(false);
    } else {
        reloadDateTexts();
    }

    updatePrimaryString();
    updateMemoryString();
}

// ---------------------------------------------------------------------------------------
// Keeping the store

Calculator::StoreCommit::StoreCommit(Calculator& calculator)
    : calculator_(calculator), alive_(calculator.lifetime_.weak()) {
    calculator_.asCreated_ = false;
    if (calculator_.commitDepth_++ > 0 || foundation::UserDefaults::Batch::active()) return;
    batch_ = std::make_unique<foundation::UserDefaults::Batch>(*calculator_.suite_, storeWait);
    calculator_.followStoreFile();
    version_ = calculator_.suite_->dataVersion();
    if (calculator_.unsaved() || version_ == calculator_.seenVersion_) return;
    // Another connection committed: it matters when the calculation, memory or date state it left
    // differs from this calculator's (rates, settings and this program's other writes do not).
    changedElsewhere_ = calculator_.storeHoldsAnotherCalculation();
    if (!changedElsewhere_) calculator_.seenVersion_ = version_;
}

Calculator::StoreCommit::~StoreCommit() {
    if (alive_.expired()) {
        // The screen, and its calculator, went during the key: its writes still go in.
        if (batch_ && !batch_->commit())
            foundation::Log::warning("calculator: the last key of a closed calculator did not reach the store (" +
                                     batch_->failure() + ")");
        return;
    }
    calculator_.commitDepth_ = std::max(0, calculator_.commitDepth_ - 1);
    if (!batch_) return;
    calculator_.finishStoreCommit(*batch_, version_);
    // What the store holds under this unsaved key (read again only when its version moved): a later
    // change of it is another program's, made after this key.
    if (calculator_.unsaved() && !(calculator_.storeAtLastUnsavedKey_ &&
                                   calculator_.storeAtLastUnsavedKey_->version == version_))
        calculator_.storeAtLastUnsavedKey_ = calculator_.storedState(version_);
}

bool Calculator::unsaved() const { return ostrelo_.outOfStep || memoryOstrelo_.outOfStep || dateModeOutOfStep_; }

void Calculator::finishStoreCommit(foundation::UserDefaults::Batch& batch, std::optional<std::int64_t> version) {
    const bool whole = unsaved();
    if (whole) writeWhole();
    const bool stored = batch.commit();
    lastStoreWait_ = batch.waited();
    if (!stored) return markUnsaved(batch.failure());
    if (!whole) return;
    ostrelo_.outOfStep = memoryOstrelo_.outOfStep = dateModeOutOfStep_ = false;
    ostrelo_.userDefaultsCount = ostrelo_.lineCount();
    memoryOstrelo_.userDefaultsCount = static_cast<std::int64_t>(memoryOstrelo_.items.size());
    // What others wrote before this commit is overwritten: the store now holds what is shown.
    seenVersion_ = version;
    if (unsavedEpisode_) foundation::Log::info("calculator: the store takes writes again; the calculation is saved");
    endUnsavedEpisode();
}

void Calculator::endUnsavedEpisode() {
    retryDelay_ = 1.0;
    if (retryTimer_) retryTimer_->invalidate();
    unsavedEpisode_ = false;
    storeAtLastUnsavedKey_.reset();
}

Calculator::StoredState Calculator::storedState(std::optional<std::int64_t> version) const {
    const foundation::UserDefaults& suite = *suite_;
    auto lines = [&suite](const SharedSettings::LineKeys& keys) {
        return StackLineRecord::loadLines(suite, keys, StackLineRecord::storedCount(suite.object(keys.count)));
    };
    const StoredDateMode date = storedDateMode(suite);
    return {version, lines(SharedSettings::calculationLines), lines(SharedSettings::memoryLines), date.mode,
            date.digits};
}

bool Calculator::storedElsewhereSinceLastUnsavedKey(std::optional<std::int64_t> version) const {
    if (!storeAtLastUnsavedKey_ || version == storeAtLastUnsavedKey_->version) return false;
    const StoredState now = storedState(version);
    const StoredState& then = *storeAtLastUnsavedKey_;
    return now.lines != then.lines || now.memory != then.memory || now.dateMode != then.dateMode ||
           now.dateDigits != then.dateDigits;
}

Calculator::SaveOutcome Calculator::saveUnsaved() {
    // Inside a key's commit the key writes it.
    if (commitDepth_ > 0 || foundation::UserDefaults::Batch::active()) return SaveOutcome::failed;
    foundation::UserDefaults::Batch batch(*suite_, storeWait);
    const bool newFile = followStoreFile();
    const std::optional<std::int64_t> version = suite_->dataVersion();
    if (!newFile && storedElsewhereSinceLastUnsavedKey(version)) {
        batch.commit();
        unsavedGivenUp();
        return SaveOutcome::givenUp;
    }
    finishStoreCommit(batch, version);
    return unsaved() ? SaveOutcome::failed : SaveOutcome::stored;
}

void Calculator::unsavedGivenUp() {
    foundation::Log::warning("calculator: another program stored a newer calculation; this one was not stored: " +
                             calculationText());
    ostrelo_.outOfStep = memoryOstrelo_.outOfStep = dateModeOutOfStep_ = false;
    endUnsavedEpisode();
}

bool Calculator::storeHoldsAnotherCalculation() const {
    const foundation::UserDefaults& suite = *suite_;
    auto differs = [&suite](const SharedSettings::LineKeys& keys, const std::vector<CalculatorLine>& items) {
        const std::int64_t count = StackLineRecord::storedCount(suite.object(keys.count));
        return count != static_cast<std::int64_t>(items.size()) ||
               StackLineRecord::loadLines(suite, keys, count) != items;
    };
    const StoredDateMode stored = storedDateMode(suite);
    return differs(SharedSettings::calculationLines, ostrelo_.items) ||
           differs(SharedSettings::memoryLines, memoryOstrelo_.items) || stored.mode != dateCalculator_ ||
           stored.digits != dateDigits_;
}

bool Calculator::storeFileLost() const {
    return suite_->storeFile() != storeFile_ && !suite_->object(SharedSettings::calculationLines.count);
}

bool Calculator::followStoreFile() {
    const std::uint64_t file = suite_->storeFile();
    if (file == storeFile_) return false;
    storeFile_ = file;
    // What the old file held says nothing of what another program stored in the new one.
    storeAtLastUnsavedKey_.reset();
    ostrelo_.outOfStep = memoryOstrelo_.outOfStep = dateModeOutOfStep_ = true;
    foundation::Log::info("calculator: the store's file was removed or replaced; the calculation, memory and date "
                          "state go to the new one whole");
    return true;
}

bool Calculator::writeWhole() {
    return suite_->performTransaction([this](foundation::UserDefaults::Transaction& t) {
        return ostrelo_.storeWhole(t) && memoryOstrelo_.storeWhole(t) &&
               t.set(SharedSettings::dateCalculator, dateCalculator_) && t.set(SharedSettings::dateDigits, dateDigits_);
    });
}

void Calculator::markUnsaved(const std::string& reason) {
    // Nothing of this commit is in the store: each part is written whole once it can be.
    ostrelo_.outOfStep = memoryOstrelo_.outOfStep = dateModeOutOfStep_ = true;
    if (!unsavedEpisode_)
        foundation::Log::warning("calculator: the store does not take writes (" + reason +
                                 "); the calculation is kept as typed and saved once the store takes it");
    unsavedEpisode_ = true;
    armRetry();
}

void Calculator::armRetry() {
    if (retryTimer_ && retryTimer_->isValid()) return;
    retryTimer_ = foundation::Timer::scheduledTimer(
        retryDelay_, false, [this](foundation::Timer&) { retrySave(); }, lifetime_.weak());
}

void Calculator::retrySave() {
    retryTimer_.reset();
    if (!unsaved()) return;
    retryDelay_ = std::min(retryDelay_ * 2, 4.0);
    const SaveOutcome outcome = saveUnsaved();
    if (outcome == SaveOutcome::failed) return armRetry();
    if (outcome == SaveOutcome::givenUp) reloadFromSettings();
    if (retryObserver_)
        retryObserver_(outcome == SaveOutcome::stored ? RetryOutcome::stored : RetryOutcome::tookUpNewer);
}

// ---------------------------------------------------------------------------------------
// Shared steps

void Calculator::takeCurrentLinesFromStacks() {
    if (!ostrelo_.items.empty()) ostreloLine_ = ostrelo_.items.back();
    if (!memoryOstrelo_.items.empty()) memoryOstreloLine_ = memoryOstrelo_.items.back();
    enterResetLineWhenEmpty();
}

void Calculator::enterResetLineWhenEmpty() {
    if (!ostrelo_.items.empty()) return;
    ostreloLine_.parentheses = 0;
    enterResetLine();
}

void Calculator::dropLastLine() { ostrelo_.popLine(); }

// ---------------------------------------------------------------------------------------
// What the screens set

void Calculator::chooseCurrencies(std::int64_t fromRow, std::int64_t toRow) {
    from_ = fromRow;
    to_ = toRow;
}

void Calculator::setOwnCurrency(const std::string& code) {
    const auto row = static_cast<std::size_t>(ownCurrencyRow);
    if (currency_.size() > row) currency_.resize(row);
    currency_.push_back(code);
}

void Calculator::clearOwnCurrency() {
    const auto row = static_cast<std::size_t>(ownCurrencyRow);
    if (currency_.size() > row) currency_.resize(row);
    if (from_ == ownCurrencyRow) from_ = ownCurrencyRow - 1;
    if (to_ == ownCurrencyRow) to_ = ownCurrencyRow - 1;
}

void Calculator::setRadiantFlag(bool radians) { radiantFlag_ = radians; }

void Calculator::setScientificNotation(bool scientific) { scientificNotation_ = scientific; }

void Calculator::setAutoParenthesis(bool automatic) { autoParenthesis_ = automatic; }

void Calculator::awaitCreditStep(std::int64_t step) { creditNextStep_ = step; }

void Calculator::takeCreditStep() { creditCurrentStep_ += 1; }

void Calculator::endCreditSteps() {
    creditNextStep_ = 0;
    creditCurrentStep_ = 0;
}

std::optional<std::string> Calculator::localeDecimalSeparator() {
    foundation::NumberFormatter formatter;
    std::string separator = formatter.decimalSeparator();
    if (separator.empty()) return std::nullopt;
    return separator;
}

void Calculator::pushCurrentLine() {
    const CalculatorLine& line = ostreloLine_;
    ostrelo_.pushLine(line.item, line.type, line.digits, line.separator, line.fraction, line.parentheses,
                     line.number);
}

void Calculator::enterResetLine() { enterToken(1, 0, "R", "", 0.0); }

void Calculator::resetCalculation() {
    clearCounter_ = 0;
    ostrelo_.clearStack();
    ostreloLine_.parentheses = 0;
    enterResetLine();
}

// ---------------------------------------------------------------------------------------
// Display texts and key states

std::string Calculator::calculationText() const {
    const auto& lines = ostrelo_.items;
    if (lines.size() == 1 && lines.front().type == "R") {
        const CalculatorLine& line = lines.front();
        return LineFormatter::formatLine(line.item, line.type, line.digits, line.separator, line.fraction, 1,
                                         line.number, scientificNotation_, false, false);
    }
    if (lines.empty()) return {};
    // A line followed by others is shown the same whatever follows it.
    const bool scientific = scientificNotation_;
    std::string text = shownLines_.joined(
        ostrelo_, lines.size() - 1, foundation::Locale::currentIdentifier() + (scientific ? ";E" : ";D"),
        [scientific](const CalculatorLine& line) {
            return LineFormatter::formatLine(line.item, line.type, line.digits, line.separator, line.fraction, 1,
                                             line.number, scientific, true, false);
        });
    const CalculatorLine& last = lines.back();
    text += LineFormatter::formatLine(last.item, last.type, last.digits, last.separator, last.fraction, 0, last.number,
                                      scientific, true, false);
    return text;
}

std::string Calculator::memoryText() const {
    const auto& lines = memoryOstrelo_.items;
    if (lines.size() == 1 && lines.front().type == "R") {
        const CalculatorLine& line = lines.front();
        return LineFormatter::memoryLineText(line.item, line.type, line.digits, line.separator, line.fraction, 1,
                                             line.number, scientificNotation_, false);
    }
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const CalculatorLine& line = lines[i];
        auto after = static_cast<std::int64_t>(lines.size() - 1 - i);
        text += LineFormatter::memoryLineText(line.item, line.type, line.digits, line.separator, line.fraction,
                                              after, line.number, scientificNotation_, true);
    }
    return text;
}

void Calculator::updatePrimaryString() {
    primaryString_ = calculationText();
    // The second line and the "=" key's state share one evaluation of the calculation.
    const std::optional<EvaluationResult> result = evaluateCalculation();
    showSecondaryString(result);
    showEqualButtonState(result);

    decimalSeparator_ = localeDecimalSeparator();
    buttonClearAllText_ = "C";

    const std::string& type = ostreloLine_.type;
    if (type == "N") {
        decimalSeparatorPlusMinus_ = ostreloLine_.separator ? std::optional<std::string>("±") : decimalSeparator_;
    } else if (type == "R") {
        if (ostreloLine_.number != 0.0) {
            decimalSeparatorPlusMinus_ = "±";
            buttonClearAllText_ = "AC";
        } else {
            decimalSeparatorPlusMinus_ = decimalSeparator_;
        }
    } else if (type == "F" || type == "√" || type == ")" || type == "^" || type == "²" || type == "(" ||
               type == "O" || type == "%" || type == "!") {
        // A "²" line (it can arrive through a restore) is titled as after "^".
        decimalSeparatorPlusMinus_ = decimalSeparator_;
    }

    if (buttonClearAllText_ == "C") {
        if (clearCounter_ >= 1) {
            clearCounter_ -= 1;
            if (clearCounter_ >= 5) {
                buttonClearAllText_ = "AC";
                clearCounter_ = 0;
            }
        }
        if (ostrelo_.lineCount() == 1 && ostreloLine_.number == 0.0 && ostreloLine_.digits == 1) {
            buttonClearAllText_ = "AC";
        }
    }

    static const std::array<const char*, 6> trigonometric{"sin(", "cos(", "tan(", "sin⁻¹(", "cos⁻¹(", "tan⁻¹("};
    static const std::array<const char*, 6> hyperbolic{"sinh(", "cosh(", "tanh(", "sinh⁻¹(", "cosh⁻¹(",
                                                       "tanh⁻¹("};
    const std::string& shown = *primaryString_;
    auto containsAny = [&shown](const std::array<const char*, 6>& tokens) {
        for (const char* token : tokens) {
            if (shown.find(token) != std::string::npos) return true;
        }
        return false;
    };
    if (containsAny(trigonometric)) {
        radiantText_ = radiantFlag_ ? "rad" : "deg";
        radiantWatchText_ = radiantText_;
    } else if (containsAny(hyperbolic)) {
        radiantFlag_ = true;
        radiantText_ = "rad";
        radiantWatchText_ = "rad";
    } else {
        radiantText_ = "⚙";
        radiantWatchText_ = radiantFlag_ ? "rad" : "deg";
    }

    if (dateCalculator_) {
        primaryString_ = dateCompleteString_;
        secondaryString_ = dateResultString_;
        buttonEqualColor_ = dateError_ ? ButtonState::error : ButtonState::success;
    }
}

void Calculator::updateSecondaryString() {
    showSecondaryString(ostrelo_.lineCount() < 2 ? std::nullopt : evaluateCalculation());
}

void Calculator::updateEqualButtonState() { showEqualButtonState(evaluateCalculation()); }

std::optional<EvaluationResult> Calculator::evaluateCalculation() const {
    if (ostrelo_.items.empty()) return std::nullopt;
    return evaluateExpression(expressionLines_.joined(ostrelo_, ostrelo_.items.size(), "", [](const CalculatorLine& line) {
        return CalculatorLine::expressionText(line);
    }));
}

void Calculator::showSecondaryString(const std::optional<EvaluationResult>& result) {
    if (ostrelo_.lineCount() < 2 || !result || result->status == "ERROR" || result->status == "FAILED") {
        secondaryString_ = "";
        return;
    }
    double value = result->value == 0.0 ? 0.0 : result->value;  // no negative zero
    secondaryString_ = LineFormatter::formatLine("", "N", 0, true, 0, 1, value, scientificNotation_, false, false);
}

void Calculator::showEqualButtonState(const std::optional<EvaluationResult>& result) {
    buttonEqualColor_ = !result || result->status == "ERROR" || result->status == "FAILED" ? ButtonState::error
                                                                                           : ButtonState::success;
}

void Calculator::updateMemoryString() {
    if (memoryOstrelo_.items.empty()) {
        memoryPrimaryString_ = "";
        buttonMemoryRecallColor_ = ButtonState::memoryEmpty;
        return;
    }
    EvaluationResult result = evaluateExpression(memoryOstrelo_.memoryItemsText());
    if (result.status == "ERROR" || result.status == "FAILED" || memoryOstrelo_.items.size() == 1) {
        memoryPrimaryString_ = memoryText();
    } else {
        memoryPrimaryString_ = removeRedundantParentheses(memoryText()) + "=" +
                              LineFormatter::memoryLineText("", "N", 0, true, 0, 1, result.value,
                                                            scientificNotation_, false);
    }
    buttonMemoryRecallColor_ = ButtonState::memoryNotEmpty;
}

}  // namespace ostrelo
