#include "app/core/KeypadModes.h"
#include "engine/SharedSettings.h"
#include "tests/screens/FakeScreen.h"
#include "tests/support/TestEnvironment.h"

#include <optional>

using screentest::FakeScreen;

namespace {

class KeypadModesTest : public testsupport::SuiteTest {};

// The keypad layout follows "show_currency" only while the user asked to remember it;
// otherwise the standard layout comes back and "show_currency" is written back as false. The
// percent titles of the parenthesis keys go with the standard layout.
TEST_F(KeypadModesTest, TheKeypadModeComesFromTheSuite) {
    struct Row {
        const char* name;
        std::optional<bool> remember;
        std::optional<bool> showing;
        bool percent;
        const char* layout;
        bool storedShowing;
        const char* open;
    };
    const Row rows[] = {
        {"nothing stored", std::nullopt, std::nullopt, false, "standard keypad", false, "("},
        {"showing, not remembered", false, true, true, "standard keypad", false, "%"},
        {"remembered and showing", true, true, true, "currency keypad", true, "("},
        {"remembered, not showing", true, false, false, "standard keypad", false, "("},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto suite = ostrelo::SharedSettings::open();
        for (const char* key : {"preference_currency_phone", "show_currency"}) suite->removeObject(key);
        if (row.remember) suite->set("preference_currency_phone", *row.remember);
        if (row.showing) suite->set("show_currency", *row.showing);
        suite->set("preference_percent", row.percent);
        FakeScreen screen;
        ostrelo::KeypadModes{screen}.updateKeypadMode();
        EXPECT_EQ(screen.hooks, std::vector<std::string>{row.layout});
        EXPECT_EQ(ostrelo::SharedSettings::open()->boolForKey("show_currency"), row.storedShowing);
        EXPECT_EQ(screen.links().parenthesisOpenKey->normalTitle(), row.open);
    }
}

}  // namespace
