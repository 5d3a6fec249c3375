#include "app/core/DisplayRefresh.h"
#include "engine/SharedSettings.h"
#include "tests/screens/FakeScreen.h"
#include "tests/support/TestEnvironment.h"

using screentest::FakeScreen;

namespace {

class DisplayRefreshTest : public testsupport::SuiteTest {};

// Date mode ended in another process (its "AC" and a new calculation) while this screen showed
// "𝑑": the refresh after reloading gives the key back its keypad's title, so the next press
// evaluates the other process's calculation instead of running the date key over it. A loan
// title is not the date's and stays.
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
        ASSERT_TRUE(screen.calculator.dateCalculator);
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
            EXPECT_EQ(ostrelo::Calculator().ostreloLine.number, 8.0);
        }
    }
    FakeScreen loan;
    loan.type({"1", "0", "0"});
    loan.hold("%");
    ostrelo::DisplayRefresh{loan}.updateDateTitle();
    EXPECT_EQ(loan.equalTitle(), "𝑖");
}

// What the refresh sets differs by the controls a screen has and its profile: the degree/radian
// key shows "⚙" on the app's screen and blank elsewhere, percent titles follow the function key
// where there is one and the preference alone where there is none, and the send and convert
// keys show the "=" key's state.
TEST_F(DisplayRefreshTest, EachScreenShowsWhatItsControlsCanShow) {
    ostrelo::SharedSettings::open()->set("preference_percent", true);
    const struct {
        screentest::Screen screen;
        const char* degRad;  // null: no such key
        const char* open;    // null: not retitled
        std::size_t mirrors;
    } rows[] = {
        {screentest::Screen::main, "⚙", "%", 0},
        {screentest::Screen::messagesExpanded, "", "%", 0},
        {screentest::Screen::messagesCollapsed, nullptr, "%", 2},
        {screentest::Screen::widget, "", "%", 0},
        {screentest::Screen::keyboard, "", nullptr, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(nameOf(row.screen));
        ostrelo::SharedSettings::open()->set("reset", true);
        FakeScreen screen(row.screen);
        screen.type({"2", "÷", "0"});
        const auto& links = screen.links();
        if (row.degRad != nullptr) {
            EXPECT_EQ(links.degRadKey->normalTitle(), row.degRad);
        }
        if (row.open != nullptr) {
            EXPECT_EQ(links.parenthesisOpenKey->normalTitle(), row.open);
        }
        if (links.functionKey != nullptr) {
            screen.showKeypad(true);
            screen.refreshDisplay();
            EXPECT_EQ(links.parenthesisOpenKey->normalTitle(), "(");
        }
        ASSERT_EQ(links.equalStateMirrors.size(), row.mirrors);
        ASSERT_TRUE(screen.calculator.buttonEqualColor.has_value());
        EXPECT_EQ(screen.calculator.buttonEqualColor, ostrelo::ButtonState::error);
        for (const auto* mirror : links.equalStateMirrors) {
            EXPECT_EQ(mirror->myButtonState, ostrelo::ButtonState::error);
        }
    }
}

}  // namespace
