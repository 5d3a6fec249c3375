#include "engine/SharedSettings.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/RunLoop.h"
#include "screens/SettingsLoader.h"
#include "tests/screens/FakeScreen.h"
#include "tests/support/TestEnvironment.h"

using foundation::PropertyListValue;
using screentest::FakeScreen;
using screentest::Screen;

namespace {

class SettingsLoaderTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        testsupport::SuiteTest::SetUp();
        foundation::Bundle::mainBundle().setInfoDictionary(
            {{"CFBundleShortVersionString", "2.4"}, {"CFBundleVersion", "117"}});
    }
};

// A stored currency row is taken as an integer, then checked against the list once the own
// currency has joined it or left: a row outside the list (a damaged store) counts as absent
// and becomes USD or EUR, written back; a 31 stays while an own currency is set and falls back
// to 30 when there is none. Screens with currency keys retitle them at the next turn.
TEST_F(SettingsLoaderTest, CurrencyRowsOutsideTheListFallBackToTheirDefaults) {
    struct Row {
        const char* name;
        std::optional<PropertyListValue> from;
        std::optional<PropertyListValue> to;
        const char* ownCurrency;
        std::int64_t expectedFrom;
        std::int64_t expectedTo;
    };
    const Row rows[] = {
        {"absent", std::nullopt, std::nullopt, "", 29, 8},
        {"inside the list", PropertyListValue(30), PropertyListValue(0), "", 30, 0},
        {"the own currency's row without one", PropertyListValue(31), PropertyListValue(31), "", 30, 30},
        {"the own currency's row with one", PropertyListValue(31), PropertyListValue(57), "xau", 31, 8},
        {"past the end", PropertyListValue(32), PropertyListValue(57), "xau", 29, 8},
        {"negative", PropertyListValue(-1), PropertyListValue(3), "", 29, 3},
        {"of another type", PropertyListValue("3"), PropertyListValue(2.0), "", 29, 8},
    };
    for (Screen kind : {Screen::main, Screen::keyboard}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(nameOf(kind)) + ": " + row.name);
            auto suite = ostrelo::SharedSettings::open();
            for (const char* key : {"from", "to"}) suite->removeObject(key);
            if (row.from) suite->set("from", *row.from);
            if (row.to) suite->set("to", *row.to);
            suite->set("preference_own_currency", row.ownCurrency);
            FakeScreen screen(kind);
            ostrelo::SettingsLoader{screen}.loadSettings();
            foundation::RunLoop::main().runUntilIdle();
            EXPECT_EQ(screen.calculator.from(), row.expectedFrom);
            EXPECT_EQ(screen.calculator.to(), row.expectedTo);
            suite = ostrelo::SharedSettings::open();
            EXPECT_EQ(suite->object("from").value_or(0.5).integerValue(), row.expectedFrom);
            EXPECT_EQ(suite->object("to").value_or(0.5).integerValue(), row.expectedTo);
            const auto& codes = screen.calculator.currency();
            const bool moved = row.from && row.from->isInteger() && row.from->integerValue() != row.expectedFrom;
            if (screen.links().fromKey != nullptr && moved) {
                EXPECT_EQ(screen.links().fromKey->normalTitle(), codes[static_cast<std::size_t>(row.expectedFrom)]);
            }
            // A rate of 1 for the pair: the conversion shows the rows it used.
            suite->set(codes[static_cast<std::size_t>(row.expectedFrom)] + codes[static_cast<std::size_t>(row.expectedTo)], 1.0);
            screen.type({"1", "⇨"});
            EXPECT_EQ(screen.primary.text(), "1.00 " + codes[static_cast<std::size_t>(row.expectedTo)]);
        }
    }
}

// Each screen registers the preferences it reads (the app's own-currency request only on the
// app's screen) and publishes the bundle's version text under both version keys.
TEST_F(SettingsLoaderTest, EveryScreenRegistersItsPreferencesAndPublishesItsVersion) {
    const std::pair<Screen, std::size_t> rows[] = {{Screen::main, 10}, {Screen::messagesExpanded, 9},
                                                   {Screen::messagesCollapsed, 8}, {Screen::widget, 9},
                                                   {Screen::keyboard, 7}};
    for (const auto& [kind, count] : rows) {
        SCOPED_TRACE(nameOf(kind));
        const auto registered = ostrelo::SettingsLoader::registeredDefaults(FakeScreen::profileOf(kind));
        EXPECT_EQ(registered.size(), count);
        EXPECT_EQ(registered.contains("preference_own_currency"), kind == Screen::main);
        EXPECT_EQ(registered.at("preference_autocomplete_phone"), PropertyListValue(true));
        auto suite = ostrelo::SharedSettings::open();
        suite->removeObject("preference_version_watch");
        FakeScreen screen(kind);
        ostrelo::SettingsLoader{screen}.loadSettings();
        EXPECT_EQ(suite->object("preference_version_phone"), PropertyListValue("2.4 (117)"));
        EXPECT_EQ(suite->object("preference_version_watch"), PropertyListValue("2.4 (117)"));
    }
}

}  // namespace
