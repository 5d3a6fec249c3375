#include "app/core/OwnCurrency.h"
#include "app/core/SettingsLoader.h"
#include "engine/SharedSettings.h"
#include "tests/screens/FakeScreen.h"
#include "tests/support/TestEnvironment.h"

#include <map>

using foundation::PropertyListValue;
using screentest::FakeScreen;
using screentest::Screen;

namespace {

class OwnCurrencyTest : public testsupport::SuiteTest {};

// Every pair rate of XAU in the suite.
std::map<std::string, PropertyListValue> ownPairs() {
    std::map<std::string, PropertyListValue> pairs;
    for (const auto& [key, value] : ostrelo::SharedSettings::open()->dictionaryRepresentation())
        if (key.size() == 6 && key.find("XAU") != std::string::npos) pairs.emplace(key, value);
    return pairs;
}

// Holding the from-currency key on the own currency XAU stores the display value as its rate
// against the to-currency and derives the rest from the stored rates of the to-currency. A
// display value that is not a finite number above 0, or the own currency on both sides, writes
// nothing and keeps the stored pairs; a derived rate that is not a finite number above 0 is
// removed rather than written; a stored rate that is no usable number counts as missing. The
// key pulses either way.
TEST_F(OwnCurrencyTest, TheHeldFromKeyStoresOnlyUsableRates) {
    const std::map<std::string, PropertyListValue> before{{"XAUXAU", 1.0}, {"XAUGBP", 5.0}, {"GBPXAU", 0.2}};
    struct Row {
        const char* name;
        std::vector<std::string> keys;
        std::int64_t to;
        std::map<std::string, PropertyListValue> stored;  // besides EURUSD 1.1
        std::map<std::string, PropertyListValue> expected;  // checked pairs; the rest of `before` kept
    };
    const Row rows[] = {
        {"a price in euros", {"1", "8", "0", "0"}, 8, {},
         {{"XAUEUR", 1800.0}, {"XAUXAU", 1.0}, {"EURXAU", 1.0 / 1800}, {"XAUUSD", 1800 * 1.1},
          {"USDXAU", 1.0 / (1800 * 1.1)}, {"XAUGBP", 1.0}, {"GBPXAU", 0.2}}},
        {"a display of 0", {"0"}, 8, {}, before},
        {"a negative display", {"5", "±"}, 8, {}, before},
        {"date mode", {"2", "4", ".", "1", "2", "."}, 8, {}, before},
        {"the own currency on both sides", {"2"}, 31, {}, before},
        {"stored rates that are no usable number", {"2"}, 8,
         {{"EURUSD", "1.1abc"}, {"EURGBP", -3.0}},
         {{"XAUEUR", 2.0}, {"XAUUSD", 1.0}, {"XAUGBP", 1.0}, {"GBPXAU", 0.2}}},
        {"derived rates beyond the doubles", {"1", "0", "0"}, 8, {{"EURGBP", 1e307}},
         {{"XAUEUR", 100.0}, {"XAUUSD", 100 * 1.1}}},
    };
    for (Screen kind : {Screen::messagesCollapsed, Screen::widget, Screen::keyboard}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(nameOf(kind)) + ": " + row.name);
            auto suite = ostrelo::SharedSettings::open();
            for (const auto& [key, value] : suite->dictionaryRepresentation()) suite->removeObject(key);
            for (const auto& [key, value] : before) suite->set(key, value);
            suite->set("EURUSD", 1.1);
            for (const auto& [key, value] : row.stored) suite->set(key, value);
            suite->set("preference_own_currency", " xaux ");
            suite->set("from", 31);
            suite->set("to", row.to);
            FakeScreen screen(kind);
            ostrelo::SettingsLoader{screen}.loadSettings();
            screen.hooks.clear();
            screen.type(row.keys);
            screen.hold("USD");
            EXPECT_EQ(screen.hooks, std::vector<std::string>{"pulse USD"});
            const auto pairs = ownPairs();
            for (const auto& [key, value] : row.expected) {
                SCOPED_TRACE(key);
                ASSERT_TRUE(pairs.contains(key));
                if (value.isReal()) {
                    EXPECT_DOUBLE_EQ(*pairs.at(key).realValue(), *value.realValue());
                } else {
                    EXPECT_EQ(pairs.at(key), value);
                }
            }
            if (std::string(row.name) == "derived rates beyond the doubles") {
                EXPECT_FALSE(pairs.contains("XAUGBP"));
                EXPECT_FALSE(pairs.contains("GBPXAU"));
            }
            if (row.expected == before) {
                EXPECT_EQ(pairs, before);
            }
        }
    }
}

}  // namespace
