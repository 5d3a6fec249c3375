#include "engine/SharedSettings.h"
#include "screens/DisplayRefresh.h"
#include "tests/screens/FakeScreen.h"
#include "tests/support/TestEnvironment.h"

#include <tuple>

using screentest::FakeScreen;

namespace {

class DisplayRefreshTest : public testsupport::SuiteTest {};

// Date mode ended in another process (its "AC" and a new calculation) while this screen showed
// "𝑑": the refresh after reloading gives the key back its keypad's title, so the next press
// evaluates the other process's calculation instead of running the date key over it. A loan
// title stays while its loan waits, and goes with it.
TEST_F(DisplayRefreshTest, TheDateTitleLeavesWhenDateModeEndedElsewhere) {
    struct Row {
        const char* name;
        bool currencyKeypad;
        bool compactPortrait;
        const char* title;
    };
    const Row rows[] = {
        {"standard keypad", false, true, "="},
        {"currency keypad in portrait", true, true, "⇨"},
        {"currency keypad elsewhere", true, false, "="},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ostrelo::SharedSettings::open()->set("reset", true);
        FakeScreen screen;
        screen.compactPortrait = row.compactPortrait;
        screen.type({"AC", "2", "4", ".", "1", "2", "."});
        ASSERT_TRUE(screen.calculator.dateCalculator());
        if (row.currencyKeypad) screen.showKeypad(true);
        screen.refreshDisplay();
        ASSERT_EQ(screen.equalTitle(), "𝑑");

        ostrelo::Calculator other;
        other.clearAll();
        other.enterDigit("5");
        other.inputOperator("+");
        other.enterDigit("3");

        screen.calculator.reloadFromSettings();
        screen.refreshDisplay();
        EXPECT_EQ(screen.equalTitle(), row.title);
        if (!row.currencyKeypad || !row.compactPortrait) {
            screen.press(screen.equalTitle());
            EXPECT_EQ(screen.primary.text(), "8");
            EXPECT_EQ(ostrelo::Calculator().ostreloLine().number, 8.0);
        }
    }
    FakeScreen loan;
    loan.type({"1", "0", "0"});
    loan.hold("%");
    ostrelo::DisplayRefresh{loan}.updateDateTitle();
    EXPECT_EQ(loan.equalTitle(), "𝑖");
    // A new calculator (the Settings screen's reset) is in no loan: the prompt title goes.
    loan.calculatorSlot.emplace();
    ostrelo::DisplayRefresh{loan}.updateDateTitle();
    EXPECT_EQ(loan.equalTitle(), "=");
}

// The degree/radian key shows "⚙" on the app's screen and blank elsewhere; percent titles follow
// the preference alone where there is no function key; the send and convert keys show the "=" key's
// state.
TEST_F(DisplayRefreshTest, EachScreenShowsWhatItsControlsCanShow) {
    ostrelo::SharedSettings::open()->set("preference_percent", true);
    using screentest::Screen;
    const std::tuple<Screen, const char*, std::size_t> rows[] = {
        {Screen::main, "⚙", 0}, {Screen::messagesExpanded, "", 0}, {Screen::messagesCollapsed, nullptr, 2},
        {Screen::widget, "", 0}, {Screen::keyboard, "", 1}};
    for (const auto& [kind, degRad, mirrors] : rows) {
        SCOPED_TRACE(nameOf(kind));
        FakeScreen screen(kind);
        screen.type({"2", "÷", "0"});
        const auto& links = screen.links();
        EXPECT_STREQ(links.degRadKey != nullptr ? links.degRadKey->normalTitle().c_str() : nullptr, degRad);
        if (links.parenthesisOpenKey != nullptr) {
            EXPECT_EQ(links.parenthesisOpenKey->normalTitle(), "%");
        }
        ASSERT_EQ(links.equalStateMirrors.size(), mirrors);
        for (const auto* mirror : links.equalStateMirrors) EXPECT_EQ(mirror->myButtonState, ostrelo::ButtonState::error);
    }
}

}  // namespace
