#include "engine/SharedSettings.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/Pasteboard.h"
#include "tests/screens/FakeScreen.h"
#include "tests/support/TestEnvironment.h"

#include <array>
#include <functional>

using screentest::FakeScreen;
using screentest::Screen;

namespace {

class KeyHandlerTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        testsupport::SuiteTest::SetUp();
        uikit::Pasteboard::general().clear();
        uikit::AudioServices::clearRequests();
    }
};

// Holding a key: the first row of the profile that matches decides, pulses and replaces the
// key's text; a row whose size-class condition fails, or a key outside the table, acts as an
// ordinary press without a pulse.
TEST_F(KeyHandlerTest, ALongPressActsAsTheKeyItsRowNames) {
    struct Row {
        const char* name;
        std::vector<std::string> typed;
        const char* held;
        bool compactPortrait;
        std::vector<std::string> hooks;
        std::function<void(FakeScreen&)> check;
    };
    const Row rows[] = {
        {"M+ in portrait subtracts", {"7"}, "M+", true, {"pulse M+"},
         [](FakeScreen& s) { EXPECT_EQ(s.calculator.memoryPrimaryString(), "0−7=−7"); }},
        {"M+ elsewhere adds", {"7"}, "M+", false, {},
         [](FakeScreen& s) { EXPECT_EQ(s.calculator.memoryPrimaryString(), "7"); }},
        {"C clears everything", {"1", "+", "2"}, "C", true, {"pulse C"},
         [](FakeScreen& s) { EXPECT_EQ(s.calculator.primaryString(), "0"); }},
        {"ƒ(x) shows the currency keypad", {}, "ƒ(x)", true, {"pulse ƒ(x)", "currency keypad"},
         [](FakeScreen&) { EXPECT_TRUE(ostrelo::SharedSettings::open()->boolForKey("show_currency")); }},
        {"MR opens the memory", {}, "MR", true, {"pulse MR", "panel 0"}, [](FakeScreen&) {}},
        {"deg opens the settings", {}, "deg", true, {"pulse deg", "panel 2"}, [](FakeScreen&) {}},
        {"𝜋 enters 𝜑", {}, "𝜋", true, {"pulse 𝜋"},
         [](FakeScreen& s) { EXPECT_EQ(s.calculator.ostreloLine().item, "𝜑"); }},
        {"x² raises to a power", {"2"}, "x²", true, {"pulse x²"},
         [](FakeScreen& s) { EXPECT_EQ(s.calculator.ostreloLine().type, "^"); }},
        {"( opens in front of all", {"2", "+", "3"}, "(", true, {"pulse ("},
         [](FakeScreen& s) { EXPECT_EQ(s.calculator.ostrelo().items.front().type, "("); }},
        {"7 is an ordinary 7", {"1"}, "7", true, {},
         [](FakeScreen& s) { EXPECT_EQ(s.calculator.primaryString(), "17"); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ostrelo::SharedSettings::open()->set("reset", true);
        FakeScreen screen;
        screen.compactPortrait = row.compactPortrait;
        screen.type(row.typed);
        screen.hold(row.held);
        EXPECT_EQ(screen.hooks, row.hooks);
        row.check(screen);
    }
}

// The same keys on the five screens (main, messages expanded, messages collapsed, widget,
// keyboard): each does what its profile's rows and its controls make of them. A cell reads
// "hooks called | primary line" (a primary ending in "*" is a random number); "hold X" holds a
// key; the widget's function overlay is open. Without a second line a screen refreshes only
// after keys that change the calculation.
TEST_F(KeyHandlerTest, TheScreensDifferWhereTheirProfilesAndControlsDo) {
    struct Row {
        std::vector<std::string> keys;
        std::array<const char*, 5> expected;
    };
    const Row rows[] = {
        {{"hold 𝜋"}, {"pulse 𝜋 | 𝜑", "pulse 𝜋 | 𝜑", "pulse 𝜋 | 0.*", " | 𝜋", "pulse 𝜋 | 𝜑"}},
        {{"2", "hold (⋯)"}, {"pulse (⋯) | 2", "pulse (⋯) | 2", "pulse (⋯) | 2", "pulse (⋯) | 2", " | 2×("}},
        {{"2", "hold x²"}, {"pulse x² | 2^", "pulse x² | 2^", "pulse x² | 2^", " | 2^2", "pulse x² | 2^"}},
        {{"1", "0", "0", "0", "hold %"},
         {"pulse % | 1,000×(", "pulse % | 1,000×(", "pulse % | 1,000×(", " | 1,000%", "pulse % | 1,000×("}},
        {{"%%"}, {" | 0×(", " | 0×(", " | 0×(", " | 0%", " | 0×("}},
        {{"hold ƒ(x)"},
         {"pulse ƒ(x),currency keypad | 0", "pulse ƒ(x),currency keypad | 0", "pulse ƒ(x) | ",
          "pulse ƒ(x),currency keypad | 0", "pulse ƒ(x) | "}},
        {{"hold deg"}, {"pulse deg,panel 2 | 0", " | 0", " | 0", " | 0", " | 0"}},
        {{"MS", "⚙"}, {"panel 0,panel 2 | 0", "panel 0,panel 2 | 0", " | ", "panel 0,panel 2 | 0", " | "}},
        {{"2", "+", "3", "✅"}, {" | 2+3", " | 2+3", "deliver 5 | 5", " | 2+3", "deliver 5 | 5"}},
        {{"2", "+", "3", "hold ✅"},
         {" | 2+3", " | 2+3", "pulse ✅,deliver 2+3=5 | 5", " | 2+3", "pulse ✅,deliver 2+3=5 | 5"}},
    };
    const Screen screens[] = {Screen::main, Screen::messagesExpanded, Screen::messagesCollapsed, Screen::widget,
                              Screen::keyboard};
    for (const Row& row : rows) {
        for (std::size_t i = 0; i < 5; ++i) {
            SCOPED_TRACE(std::string(nameOf(screens[i])) + ": " + row.keys.back());
            ostrelo::SharedSettings::open()->set("reset", true);
            FakeScreen screen(screens[i]);
            screen.overlayOpen = true;
            for (const auto& key : row.keys) key.starts_with("hold ") ? screen.hold(key.substr(5)) : screen.press(key);
            std::string hooks;
            for (const auto& hook : screen.hooks) hooks += (hooks.empty() ? "" : ",") + hook;
            const std::string shown = hooks + " | " + screen.primary.text();
            const std::string expected = row.expected[i];
            if (expected.ends_with("*")) {
                EXPECT_TRUE(shown.starts_with(expected.substr(0, expected.size() - 1))) << shown;
            } else {
                EXPECT_EQ(shown, expected);
            }
        }
    }
}

// Loans, on every screen: amount, "%%" (held "%"), rate, "𝑖", months, "𝑚". While a step waits,
// the "=" key carries it and a secondary line its prompt; the payment shows with two decimals, is copied
// and ends the loan. Bad months give the error text, a rate of 0 a plain "=", a key that breaks
// the formula's shape ends the loan (the "=" key takes back its keypad's title), and "%%" after
// more than one line is a plain percent.
TEST_F(KeyHandlerTest, LoansPromptForTheirStepsAndEndByTheirInputs) {
    struct Row {
        const char* name;
        const char* locale;
        bool currencyKeypad;
        std::vector<std::string> keys;  // "%%" holds "%"
        const char* primary;             // null: not checked
        const char* title;
        const char* secondary;           // null: not checked
    };
    const Row rows[] = {
        {"the rate prompt", "en_US", false, {"1", "0", "0", "0", "%%", "5"}, "1,000×(5", "𝑖", "enter the intrest rate"},
        {"the months prompt", "en_US", false, {"1", "0", "0", "0", "%%", "5", "𝑖", "1", "2"}, nullptr, "𝑚",
         "enter the number of months"},
        {"the payment", "en_US", false, {"1", "0", "0", "0", "%%", "5", "𝑖", "1", "2", "𝑚"}, "85.61 ", "=", nullptr},
        {"months 0", "en_US", false, {"1", "0", "0", "%%", "5", "𝑖", "0", "𝑚"}, "ERROR", "=", nullptr},
        {"months 1.5", "en_US", false, {"1", "0", "0", "%%", "5", "𝑖", "1", ".", "5", "𝑚"}, "ERROR", "=", nullptr},
        {"rate 0", "en_US", false, {"1", "0", "0", "%%", "0", "𝑖"}, "0", "=", nullptr},
        {"several lines", "en_US", false, {"1", "+", "2", "%%"}, "1+2%", "=", nullptr},
        {"an operator instead of the rate", "en_US", true, {"1", "0", "0", "%%", "5", "+"}, "100×(5+", "⇨", nullptr},
        {"a payment on the currency keypad", "en_US", true, {"1", "0", "0", "0", "%%", "5", "𝑖", "1", "2", "𝑚"},
         "85.61 ", "⇨", nullptr},
        {"the German prompts", "de_DE", false, {"1", "0", "0", "%%", "5", "𝑖"}, nullptr, "𝑚",
         "Anzahl der Monate eingeben"},
    };
    for (Screen kind : {Screen::main, Screen::messagesExpanded, Screen::messagesCollapsed, Screen::widget,
                        Screen::keyboard}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(nameOf(kind)) + ": " + row.name);
            setLocale(row.locale);
            ostrelo::SharedSettings::open()->set("reset", true);
            uikit::Pasteboard::general().clear();
            FakeScreen screen(kind);
            if (row.currencyKeypad && screen.links().functionKey == nullptr) continue;
            if (row.currencyKeypad) screen.showKeypad(true);
            for (const auto& key : row.keys) {
                // The widget starts a loan from its function overlay's key, which sends "%%".
                if (key == "%%" && kind != Screen::widget) screen.hold("%");
                else screen.press(key);
            }
            EXPECT_EQ(screen.equalTitle(), row.title);
            if (row.primary != nullptr) {
                EXPECT_EQ(screen.primary.text(), row.primary);
            }
            if (row.secondary != nullptr && screen.links().secondaryLine != nullptr) {
                EXPECT_EQ(screen.secondary.text(), row.secondary);
            }
            // A loan that ended was evaluated and copied; one that waits keeps its counters.
            const bool ended = std::string(row.title) != "𝑖" && std::string(row.title) != "𝑚";
            EXPECT_EQ(screen.calculator.creditNextStep() == 0, ended);
            if (ended && row.keys.back() == "𝑚") {
                EXPECT_EQ(uikit::Pasteboard::general().string(), row.primary);
            }
        }
    }
}

}  // namespace

namespace {

// A currency key steps its side to the next code of the list (here with the own currency XAU as
// row 31) and back to the first after the last, from any row at or past the end; the titles and
// the suite follow at the next turn. Held, a currency key acts as a tap unless it is the
// from-key on the own currency.
TEST_F(KeyHandlerTest, CurrencyKeysStepThroughTheListAndWrap) {
    const struct {
        const char* name;
        std::int64_t from, to;
        bool hold;
        bool fromKey;
        std::int64_t expectedFrom, expectedTo;
    } rows[] = {
        {"the next code", 8, 29, false, false, 8, 30},
        {"the own currency, the last", 31, 8, false, true, 0, 8},
        {"past the end", 40, 8, false, true, 0, 8},
        {"held below the own currency", 29, 8, true, true, 30, 8},
        {"held to-key", 29, 31, true, false, 29, 0},
    };
    for (Screen kind : {Screen::messagesCollapsed, Screen::widget, Screen::keyboard}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(nameOf(kind)) + ": " + row.name);
            FakeScreen screen(kind);
            screen.calculator.setOwnCurrency("XAU");
            screen.calculator.chooseCurrencies(row.from, row.to);
            ostrelo::KeyHandler{screen}.handle(row.fromKey ? screen.links().fromKey : screen.links().toKey, row.hold, "");
            foundation::RunLoop::main().runUntilIdle();
            EXPECT_TRUE(screen.hooks.empty());
            const auto& codes = screen.calculator.currency();
            EXPECT_EQ(screen.links().fromKey->normalTitle(), codes[static_cast<std::size_t>(row.expectedFrom)]);
            EXPECT_EQ(screen.links().toKey->normalTitle(), codes[static_cast<std::size_t>(row.expectedTo)]);
            auto suite = ostrelo::SharedSettings::open();
            EXPECT_EQ(suite->integerForKey("from"), row.expectedFrom);
            EXPECT_EQ(suite->integerForKey("to"), row.expectedTo);
        }
    }
}

}  // namespace
