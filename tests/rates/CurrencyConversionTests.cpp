#include "engine/ButtonState.h"
#include "engine/Calculator.h"
#include "engine/CalculatorStack.h"
#include "engine/CurrencyConversion.h"
#include "engine/ExchangeRateFeed.h"
#include "engine/SharedSettings.h"
#include "tests/rates/FeedDocuments.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>

using foundation::PropertyListValue;
using ostrelo::CurrencyConversion;
using ostrelo::SharedSettings;

using CurrencyConversionTest = testsupport::SuiteTest;

TEST(CurrencyConversion, EveryFeedCurrencyCanBeChosen) {
    const auto& list = ostrelo::Calculator::currencyCodes();
    for (const auto& [code, rate] : ratestest::realRates())
        EXPECT_NE(std::find(list.begin(), list.end(), code), list.end()) << code;
}

TEST_F(CurrencyConversionTest, EachCalculatorHasItsOwnCopyOfTheThirtyOneCodes) {
    const std::vector<std::string> codes = {"AUD", "BGN", "BRL", "CAD", "CHF", "CNY", "CZK", "DKK", "EUR", "GBP", "HKD",
                                            "HUF", "IDR", "ILS", "INR", "ISK", "JPY", "KRW", "MXN", "MYR", "NOK", "NZD",
                                            "PHP", "PLN", "RON", "SEK", "SGD", "THB", "TRY", "USD", "ZAR"};
    ostrelo::Calculator first;
    EXPECT_EQ(first.currency(), codes);
    first.setOwnCurrency("MyCoin");  // a screen appends the own currency as entry 31
    ostrelo::Calculator second;
    EXPECT_EQ(second.currency(), codes);
    EXPECT_EQ(ostrelo::Calculator::currencyCodes(), codes);
    EXPECT_EQ(first.currency().at(31), "MyCoin");
}

TEST_F(CurrencyConversionTest, StoredRatesAreNumbersUnderTheTwoCodesAndOneOtherwise) {
    auto suite = SharedSettings::open();
    EXPECT_EQ(CurrencyConversion::storedRate("EUR", "USD"), 1.0);
    suite->set("EURUSD", 1.085);
    suite->set("USDEUR", std::int64_t{2});
    suite->set("GBPUSD", "1.25");
    suite->set("CHFUSD", true);
    suite->set("SEKUSD", PropertyListValue::Array{1.5});
    EXPECT_EQ(CurrencyConversion::storedRate("EUR", "USD"), 1.085);
    EXPECT_EQ(CurrencyConversion::storedRate("USD", "EUR"), 2.0);
    EXPECT_EQ(CurrencyConversion::storedRate("GBP", "USD"), 1.0);
    EXPECT_EQ(CurrencyConversion::storedRate("CHF", "USD"), 1.0);
    EXPECT_EQ(CurrencyConversion::storedRate("SEK", "USD"), 1.0);
    EXPECT_EQ(CurrencyConversion::storedRate("USD", "USD"), 1.0);
    // The key is the plain concatenation: the user's own currency has a code of any form.
    suite->set("EURMyCoin", 0.5);
    EXPECT_EQ(CurrencyConversion::storedRate("EUR", "MyCoin"), 0.5);
    EXPECT_EQ(CurrencyConversion::storedRate("EU", "RMyCoin"), 0.5);
}

TEST_F(CurrencyConversionTest, AFeedStoreProvidesEveryPairOfItsCurrencies) {
    ostrelo::ExchangeRateFeed::storeRates(ratestest::bytes(ratestest::realDocument()), {}, std::nullopt);
    EXPECT_EQ(CurrencyConversion::storedRate("EUR", "USD"), 1.1415);
    EXPECT_EQ(CurrencyConversion::storedRate("USD", "EUR"), 0.876);
    EXPECT_EQ(CurrencyConversion::storedRate("IDR", "GBP"), 4.159e-05);
    EXPECT_EQ(CurrencyConversion::storedRate("EUR", "EUR"), 1.0);
    EXPECT_EQ(CurrencyConversion::storedRate("EUR", "BGN"), 1.0);  // not in the feed
}

TEST(CurrencyConversion, RateDigitsCountTheShortestDecimalText) {
    const auto count = [](double rate) {
        const auto d = CurrencyConversion::rateDigits(rate);
        return std::make_pair(d.digits, d.fraction);
    };
    EXPECT_EQ(count(1.085), std::make_pair(std::int64_t{4}, std::int64_t{3}));
    EXPECT_EQ(count(2.0), std::make_pair(std::int64_t{2}, std::int64_t{1}));
    EXPECT_EQ(count(150.341), std::make_pair(std::int64_t{6}, std::int64_t{3}));
    EXPECT_EQ(count(0.0067), std::make_pair(std::int64_t{5}, std::int64_t{4}));
    EXPECT_EQ(count(20565.38), std::make_pair(std::int64_t{7}, std::int64_t{2}));
    // Exponent form for the smallest derived rates: the characters of "4.159e-05".
    EXPECT_EQ(count(4.159e-05), std::make_pair(std::int64_t{8}, std::int64_t{7}));
}

namespace {

using ostrelo::Calculator;

// Hands the keys to the calculator as a screen does: digits, the separator ".", "+" and
// the parenthesis keys.
void press(Calculator& calculator, const std::string& keys) {
    for (const char c : keys) {
        if (c == '.') calculator.enterDecimalSeparator();
        else if (c == '+') calculator.inputOperator("+");
        else if (c == '(' || c == ')') calculator.enterParenthesis(std::string(1, c));
        else calculator.enterDigit(std::string(1, c));
    }
}

}  // namespace

TEST_F(CurrencyConversionTest, TheWholeCalculationIsMultipliedAndShownAsMoneyWithTheCode) {
    for (const char* locale : {"en_US", "de_DE"}) {
        setLocale(locale);
        const bool english = std::string(locale) == "en_US";
        SharedSettings::open()->set("EURUSD", 1.085);
        Calculator one;
        press(one, "100");
        one.enterCurrencyConversion("EUR", "USD");
        EXPECT_EQ(one.primaryString(), english ? "108.50 USD" : "108,50 USD");
        EXPECT_EQ(one.secondaryString(), english ? "100×1.085=108.5" : "100×1,085=108,5");
        ASSERT_EQ(one.ostrelo().items.size(), 1u);  // the result line alone
        EXPECT_EQ(one.ostrelo().items[0].type, "R");
        EXPECT_EQ(one.ostrelo().items[0].number, 108.5);

        // Several lines are put in parentheses first; grouping in the money text.
        SharedSettings::open()->set("USDEUR", 2.0);
        Calculator several;
        several.clearAll();
        press(several, "2+3");
        several.enterCurrencyConversion("USD", "EUR");
        EXPECT_EQ(several.secondaryString(), english ? "(2+3)×2=10" : "(2+3)×2=10");
        EXPECT_EQ(several.primaryString(), english ? "10.00 EUR" : "10,00 EUR");
        several.clearAll();
        press(several, "600000+442000");
        several.enterCurrencyConversion("USD", "EUR");
        EXPECT_EQ(several.primaryString(), english ? "2,084,000.00 EUR" : "2.084.000,00 EUR");
        several.clearAll();
    }
}

TEST_F(CurrencyConversionTest, TheExpressionShowsTheGroupTheOperatorAndTheRate) {
    SharedSettings::open()->set("USDEUR", 1.085);
    Calculator calculator;
    calculator.clearAll();
    press(calculator, "2+3");
    calculator.enterCurrencyConversion("USD", "EUR");
    EXPECT_EQ(calculator.secondaryString(), "(2+3)×1.085=5.425");
    EXPECT_EQ(calculator.primaryString(), "5.43 EUR");  // 5.425 rounds half away from zero
}

// Without a rate for two different currencies there is no amount in the other one: nothing
// changes, in the store neither, and the "=" key's state shows the error (the screens' scripts
// show the pairs that need no rate). A rate set by hand is used.
TEST_F(CurrencyConversionTest, AMissingRateConvertsNothingAndAUserSetRateIsUsed) {
    Calculator calculator;
    calculator.clearAll();
    press(calculator, "2+3");
    const auto lines = calculator.ostrelo().items;
    EXPECT_FALSE(calculator.enterCurrencyConversion("EUR", "CHF"));
    EXPECT_EQ(calculator.ostrelo().items, lines);
    EXPECT_EQ(ostrelo::CalculatorStack().items, lines);
    EXPECT_EQ(calculator.buttonEqualColor(), ostrelo::ButtonState::error);

    SharedSettings::open()->set("EURMyCoin", 0.25);  // a rate set by hand for a code of no list
    calculator.clearAll();
    press(calculator, "10");
    EXPECT_TRUE(calculator.enterCurrencyConversion("EUR", "MyCoin"));
    EXPECT_EQ(calculator.primaryString(), "2.50 MyCoin");
}

TEST_F(CurrencyConversionTest, RatesOfAFeedStoreConvertSmallCurrenciesToo) {
    ostrelo::ExchangeRateFeed::storeRates(ratestest::bytes(ratestest::realDocument()), {}, std::nullopt);
    Calculator calculator;
    calculator.clearAll();
    press(calculator, "1000");
    calculator.enterCurrencyConversion("EUR", "USD");
    EXPECT_EQ(calculator.primaryString(), "1,141.50 USD");
    calculator.clearAll();
    press(calculator, "100");
    calculator.enterCurrencyConversion("USD", "EUR");
    EXPECT_EQ(calculator.primaryString(), "87.60 EUR");
    // One million rupiah: 41.59 pounds, not 0 (the rate is 0.00004159, not 0.0000).
    calculator.clearAll();
    press(calculator, "1000000");
    calculator.enterCurrencyConversion("IDR", "GBP");
    EXPECT_EQ(calculator.primaryString(), "41.59 GBP");
    calculator.clearAll();
    press(calculator, "1000000");
    calculator.enterCurrencyConversion("IDR", "EUR");
    EXPECT_EQ(calculator.primaryString(), "48.63 EUR");
}

TEST_F(CurrencyConversionTest, OpenGroupsAreClosedSoTheWholeAmountIsConverted) {
    SharedSettings::open()->set("EURUSD", 1.085);
    Calculator calculator;
    calculator.clearAll();
    press(calculator, "2+(3+4");
    ASSERT_EQ(calculator.ostreloLine().parentheses, 1);
    calculator.enterCurrencyConversion("EUR", "USD");
    EXPECT_EQ(calculator.primaryString(), "9.77 USD");  // 9 × 1.085, not 2 + 7 × 1.085
    EXPECT_EQ(calculator.ostreloLine().parentheses, 0);

    calculator.clearAll();
    press(calculator, "((5");
    calculator.enterCurrencyConversion("EUR", "USD");
    EXPECT_EQ(calculator.primaryString(), "5.43 USD");
    EXPECT_EQ(calculator.ostrelo().items.size(), 1u);
}

TEST_F(CurrencyConversionTest, AStoredParenthesisCountBeyondTheLinesEndsTheClosing) {
    // A damaged store: one number line that claims a trillion open groups. Every open group
    // has a "(" line of its own, so no more groups are closed than there are lines.
    auto suite = SharedSettings::open();
    suite->set("EURUSD", 2.0);
    suite->set("count", std::int64_t{1});
    suite->set("1", PropertyListValue::Array{"", "N", 5.0, std::int64_t{1}, false, std::int64_t{0},
                                             std::int64_t{1'000'000'000'000}});
    Calculator calculator;
    ASSERT_EQ(calculator.ostrelo().items.size(), 1u);
    calculator.enterCurrencyConversion("EUR", "USD");
    EXPECT_EQ(calculator.ostrelo().items.size(), 1u);  // the result line
    EXPECT_LT(SharedSettings::open()->dictionaryRepresentation().size(), 10u);
}
