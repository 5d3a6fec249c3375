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

TEST(CurrencyConversion, TheListHoldsThe31CodesInAlphabeticalOrder) {
    const auto& list = CurrencyConversion::currencyList();
    ASSERT_EQ(list.size(), 31u);
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
    EXPECT_EQ(std::adjacent_find(list.begin(), list.end()), list.end());
    EXPECT_EQ(list[8], "EUR");
    EXPECT_EQ(list[29], "USD");
    EXPECT_EQ(list.front(), "AUD");
    EXPECT_EQ(list.back(), "ZAR");
    EXPECT_EQ(list[1], "BGN");  // no longer in the feed, still offered
    // Every feed currency can be chosen.
    for (const auto& [code, rate] : ratestest::realRates())
        EXPECT_NE(std::find(list.begin(), list.end(), code), list.end()) << code;
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
