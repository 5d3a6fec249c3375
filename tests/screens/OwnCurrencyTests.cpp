#include "engine/SharedSettings.h"
#include "screens/OwnCurrency.h"
#include "screens/SettingsLoader.h"
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
        std::map<std::string, double> expected;           // 0: absent; none: all as before
    };
    const Row rows[] = {
        {"a price in euros", {"1", "8", "0", "0"}, 8, {},
         {{"XAUEUR", 1800}, {"XAUXAU", 1}, {"EURXAU", 1.0 / 1800}, {"XAUUSD", 1800 * 1.1},
          {"USDXAU", 1 / (1800 * 1.1)}, {"XAUGBP", 1}, {"GBPXAU", 0.2}}},
        {"a display of 0", {"0"}, 8, {}, {}},
        {"a negative display", {"5", "±"}, 8, {}, {}},
        {"date mode", {"2", "4", ".", "1", "2", "."}, 8, {}, {}},
        {"the own currency on both sides", {"2"}, 31, {}, {}},
        {"stored rates that are no usable number", {"2"}, 8, {{"EURUSD", "1.1abc"}, {"EURGBP", -3.0}},
         {{"XAUEUR", 2}, {"XAUUSD", 1}, {"USDXAU", 0}, {"XAUGBP", 1}, {"GBPXAU", 0.2}}},
        {"derived rates beyond the doubles", {"1", "0", "0"}, 8, {{"EURGBP", 1e307}},
         {{"XAUEUR", 100}, {"XAUUSD", 110}, {"XAUGBP", 0}, {"GBPXAU", 0}}},
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
            if (row.expected.empty()) {
                EXPECT_EQ(pairs, before);
            }
            for (const auto& [key, rate] : row.expected) {
                const double stored = pairs.contains(key) ? pairs.at(key).numberAsDouble().value_or(-1) : 0;
                EXPECT_DOUBLE_EQ(stored, rate) << key;
            }
        }
    }
}

}  // namespace

namespace {

// The request is read in characters, whatever their bytes: trimmed, upper-cased the same in
// every locale, cut to three characters; shorter texts and other kinds ask for none.
TEST_F(OwnCurrencyTest, TheRequestIsReadInCharacters) {
    setLocale("tr_TR");
    const std::string longText(10000, 'x');
    std::string accented;
    for (int i = 0; i < 10000; ++i) accented += "é";
    const struct {
        PropertyListValue stored;
        std::optional<std::string> code;
    } rows[] = {
        {" xaux \n", "XAU"},
        {PropertyListValue(longText), "XXX"},
        {PropertyListValue(accented), "ÉÉÉ"},
        {"ixy", "IXY"},                          // no dotted capital I in Turkish
        {"ßab", "SSA"},                          // one letter, two capitals
        {"e\u0301fg", "E\u0301FG"},              // a letter and its accent are one character
        {"\x01\x02\x03x", "\x01\x02\x03"},       // control characters count as characters
        {"123", "123"},
        {"€€€", "€€€"},
        {PropertyListValue(std::string("\xff\xfe" "ab")), std::string("\xff\xfe" "A")},
        {"\u00A0ab\u2028", std::nullopt},        // white space of any script is trimmed
        {PropertyListValue(42), std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code.value_or("none"));
        EXPECT_EQ(ostrelo::OwnCurrency::requestedCode(row.stored), row.code);
    }
}

// The app's loader keeps the own currency in the list and the suite: a new code joins as row
// 31, another replaces it and removes every pair rate of the old one (even in a process whose
// list never held it), a listed code clears it and a side on its row falls back to 30, and
// loading again changes nothing.
TEST_F(OwnCurrencyTest, TheOwnCurrencyJoinsChangesAndLeavesTheList) {
    auto load = [](const char* request) {
        ostrelo::SharedSettings::open()->set("preference_own_currency", request);
        auto screen = std::make_unique<FakeScreen>(Screen::main);
        ostrelo::SettingsLoader{*screen}.loadSettings();
        return screen;
    };
    auto first = load("");
    auto suite = ostrelo::SharedSettings::open();
    suite->set("preference_own_currency", " xaux ");
    ostrelo::SettingsLoader{*first}.loadSettings();
    ASSERT_EQ(first->calculator.currency().size(), 32u);
    EXPECT_EQ(first->calculator.currency()[31], "XAU");
    suite->set("from", 31);
    suite->set("EURUSD", 1.1);
    first->calculator.chooseCurrencies(31, first->calculator.to());
    first->type({"1", "8", "0", "0"});
    ASSERT_TRUE(ostrelo::OwnCurrency{first->calculator}.storeRates());
    EXPECT_EQ(ownPairs().size(), 34u);  // XAU against all 31 and itself; EUR and USD back to XAU

    auto other = load("xag");
    EXPECT_EQ(other->calculator.currency().back(), "XAG");
    EXPECT_EQ(other->calculator.from(), 31);
    EXPECT_TRUE(ownPairs().empty());
    EXPECT_EQ(suite->object("own_currency"), PropertyListValue("XAG"));

    auto cleared = load("usd");
    EXPECT_EQ(cleared->calculator.currency().size(), 31u);
    EXPECT_EQ(cleared->calculator.from(), 30);
    EXPECT_EQ(suite->object("from"), PropertyListValue(30));
    EXPECT_EQ(suite->object("own_currency"), PropertyListValue(""));

    const auto stored = suite->dictionaryRepresentation();
    ostrelo::SettingsLoader{*cleared}.loadSettings();
    EXPECT_EQ(suite->dictionaryRepresentation(), stored);
    EXPECT_EQ(cleared->calculator.currency().size(), 31u);
    EXPECT_EQ(cleared->calculator.from(), 30);
}

}  // namespace
