// Arbitrary bytes as a session of key presses on one calculator, in one of several locales:
// every key the screens hand to the engine (with the date keys as the screens dispatch them),
// and the paths that bypass the keypad: pastes and Handoff numbers, currency conversion with
// stored or damaged rates, the hardware keyboard's memory keys and backspace, setting
// changes, reloads and restarts. After every step the calculator must agree with the store:
// its lines and memory lines are the stored ones, its current line is the last stored line,
// a calculator reloaded from the store has the same date mode, and no display text writes a
// minus sign as an ASCII hyphen.
#include "engine/Calculator.h"
#include "engine/CalculatorStack.h"
#include "engine/MemoryCalculatorStack.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/RandomSource.h"
#include "platform/foundation/UserDefaults.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using ostrelo::Calculator;
using ostrelo::CalculatorLine;

// The input, read byte by byte; 0 once it is used up.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::string text(std::size_t length) {
        std::string result;
        while (length-- > 0 && !empty()) result.push_back(static_cast<char>(byte()));
        return result;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

[[noreturn]] void fail(const std::string& what, const Calculator& calculator) {
    std::fprintf(stderr, "calculator out of step: %s\n  primary \"%s\"\n  secondary \"%s\"\n  lines %zu, date mode %d\n",
                 what.c_str(), calculator.primaryString().value_or("").c_str(),
                 calculator.secondaryString().value_or("").c_str(), calculator.ostrelo().items.size(),
                 calculator.dateCalculator() ? 1 : 0);
    std::abort();
}

bool sameNumber(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The fields a line is stored with; `parentheses` too unless it is the current line, whose
// count is the running one.
bool sameLine(const CalculatorLine& a, const CalculatorLine& b, bool withParentheses) {
    return a.item == b.item && a.type == b.type && sameNumber(a.number, b.number) && a.digits == b.digits &&
           a.separator == b.separator && a.fraction == b.fraction &&
           (!withParentheses || a.parentheses == b.parentheses);
}

bool sameLines(const std::vector<CalculatorLine>& a, const std::vector<CalculatorLine>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!sameLine(a[i], b[i], true)) return false;
    return true;
}

// A hyphen is a minus sign unless it is the sign of a scientific exponent ("1E-5", with the
// direction mark some locales put before it).
bool hyphenAsMinus(const std::string& text) {
    for (std::size_t at = text.find('-'); at != std::string::npos; at = text.find('-', at + 1)) {
        std::string before = text.substr(0, at);
        for (const char* mark : {"\u061C", "\u200E"})
            if (before.ends_with(mark)) before.resize(before.size() - std::strlen(mark));
        if (!before.ends_with("E")) return true;
    }
    return false;
}

void checkInStep(const Calculator& calculator) {
    const ostrelo::CalculatorStack stored;
    if (!sameLines(calculator.ostrelo().items, stored.items)) fail("the lines differ from the stored ones", calculator);
    if (calculator.ostrelo().items.empty()) fail("no line", calculator);
    if (!sameLine(calculator.ostreloLine(), calculator.ostrelo().items.back(), false))
        fail("the current line is not the last line", calculator);
    const auto memory = ostrelo::MemoryCalculatorStack::loadMemoryItems();
    if (!sameLines(calculator.memoryOstrelo().items, memory.first))
        fail("the memory differs from the stored one", calculator);
    for (const auto& text :
         {calculator.primaryString(), calculator.secondaryString(), calculator.memoryPrimaryString()})
        if (text && hyphenAsMinus(*text)) fail("a hyphen as a minus sign in \"" + *text + "\"", calculator);

    Calculator reloaded;
    reloaded.reloadFromSettings();
    if (reloaded.dateCalculator() != calculator.dateCalculator()) fail("a reload disagrees on date mode", calculator);
    if (!sameLines(calculator.ostrelo().items, reloaded.ostrelo().items))
        fail("a reload changed the lines", calculator);
}

const char* const locales[] = {"en_US", "de_DE", "ar_EG", "fa_IR", "fr_FR", "de_CH", "mr_IN"};
const char* const operators[] = {"+", "−", "×", "÷"};
const char* const parentheses[] = {"(", ")", "{", "}"};
const char* const functionKeys[] = {"𝑖",   "^",    "²",    "%",    "!",     "√",     "∕",     "𝜑",     "𝜋",
                                    "sin", "cos",  "tan",  "㏑",    "sinh",  "cosh",  "tanh",  "sin⁻¹", "cos⁻¹",
                                    "tan⁻¹", "sinh⁻¹", "cosh⁻¹", "tanh⁻¹", "log", "𝑒",     "@",     "#",     "rand"};
const char* const memoryKeys[] = {"M+", "M−", "MR", "MC", "M"};
const char* const currencies[] = {"EUR", "USD", "JPY", "GBP", "MyCoin"};

template <typename T, std::size_t n>
const T& pick(const T (&values)[n], Input& input) {
    return values[input.byte() % n];
}

// One step: a key of the keypad or one of the other paths into the engine.
void step(std::unique_ptr<Calculator>& calculator, Input& input) {
    Calculator& c = *calculator;
    const std::uint8_t action = input.byte() % 32;
    switch (action) {
        case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9:
            c.enterDigit(std::string(1, static_cast<char>('0' + action)));
            break;
        case 10:  // the separator key, as the screens dispatch it
            if (c.dateCalculator()) c.enterDecimalSeparator();
            else c.evaluateDateEntry();
            break;
        case 11: c.toggleSign(); break;
        case 12: c.inputOperator(pick(operators, input)); break;
        case 13:  // "=", or the date key while date mode is on
            if (c.dateCalculator()) {
                c.calculateDate();
                c.clearAll();
            } else {
                c.evaluateEquals(false, "");
            }
            break;
        case 14:  // the clear key by its title
            if (c.buttonClearAllText() == "C") c.clearEntry();
            else c.clearAll();
            break;
        case 15: c.clearEntry(); break;  // the hardware backspace
        case 16: c.enterParenthesis(pick(parentheses, input)); break;
        case 17: case 18: c.enterFunctionKey(pick(functionKeys, input)); break;
        case 19: c.toggleDegRad(); break;
        case 20: {
            const std::uint8_t key = input.byte() % 4;
            if (key == 0) c.pressMemoryPlus();
            if (key == 1) c.pressMemoryMinus();
            if (key == 2) c.pressMemoryRecall();
            if (key == 3) c.pressMemoryClear();
            break;
        }
        case 21: c.pressMemoryKey(pick(memoryKeys, input)); break;  // the hardware keyboard's path
        case 22: {  // a pasted text, or a Handoff number
            const bool plain = input.byte() % 2 == 1;
            c.importCalculationText(input.text(input.byte() % 24), plain);
            break;
        }
        case 23: {  // the calculation's own texts pasted back
            const std::string text = input.byte() % 2 == 0 ? c.resultText() : c.expressionText();
            c.importCalculationText(text, false);
            break;
        }
        case 24: {
            const std::string from = pick(currencies, input);
            c.enterCurrencyConversion(from, pick(currencies, input));
            break;
        }
        case 25: {  // a rate set by hand, or a damaged one
            const std::string pair =
                ostrelo::SharedSettings::ratePair(pick(currencies, input), pick(currencies, input));
            double rate = 0;
            const std::string bits = input.text(sizeof rate);
            std::memcpy(&rate, bits.data(), bits.size());
            foundation::UserDefaults().set(pair, rate);
            break;
        }
        case 26: c.setScientificNotation(!c.scientificNotation()); c.updatePrimaryString(); break;
        case 27: c.setAutoParenthesis(!c.autoParenthesis()); c.updatePrimaryString(); break;
        case 28: c.reloadFromSettings(); break;
        case 29:  // another process of the group starts and becomes active
            calculator = std::make_unique<Calculator>();
            calculator->reloadFromSettings();
            break;
        case 30:  // the end of a loan prompt (whose keys do nothing in date mode)
            if (!c.dateCalculator()) c.evaluateEquals(true, "");
            break;
        default: c.clearAll(); break;
    }
}

void clearStore() {
    foundation::UserDefaults suite;
    const auto stored = suite.dictionaryRepresentation();
    suite.performTransaction([&stored](foundation::UserDefaults::Transaction& t) {
        for (const auto& [key, value] : stored)
            if (!t.removeObject(key)) return false;
        return true;
    });
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static const std::filesystem::path directory = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "ostrelo-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        return std::filesystem::path(pattern);
    }();
    setenv("OSTRELO_GROUP_DIR", directory.c_str(), 1);
    using namespace std::chrono;
    foundation::Clock::pinAt(sys_days{year{2026} / December / 7} + hours{12});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 512) return 0;  // a session of a few hundred keys is plenty
    Input input(data, size);
    foundation::Locale::setCurrent(pick(locales, input));
    std::uint64_t word = 0x9E3779B97F4A7C15ull;
    foundation::RandomSource::replaceWordSource([&word] { return word = word * 6364136223846793005ull + 1442695040888963407ull; });
    clearStore();

    auto calculator = std::make_unique<Calculator>();
    calculator->reloadFromSettings();
    checkInStep(*calculator);
    while (!input.empty()) {
        step(calculator, input);
        checkInStep(*calculator);
    }
    foundation::RandomSource::replaceWordSource({});
    return 0;
}
