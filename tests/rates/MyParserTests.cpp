#include "engine/ExchangeRateFeed.h"
#include "engine/MyParser.h"
#include "platform/foundation/Locale.h"
#include "tests/rates/FeedDocuments.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

using ostrelo::ExchangeRateFeed;
using ostrelo::MyParser;

namespace {

std::vector<ostrelo::Rates> recordsOf(const std::string& text, bool* wellFormed = nullptr) {
    MyParser parser(ratestest::bytes(text));
    const bool ok = parser.parse();
    if (wellFormed) *wellFormed = ok;
    return parser.rates;
}

std::string codes(const std::vector<ostrelo::Rates>& rates) {
    std::string text;
    for (const auto& r : rates) text += (text.empty() ? "" : " ") + r.currency;
    return text;
}

}  // namespace

TEST(MyParser, ReadsEveryRecordOfTheRealDocumentWithItsDate) {
    bool wellFormed = false;
    const auto rates = recordsOf(ratestest::realDocument(), &wellFormed);
    EXPECT_TRUE(wellFormed);
    const auto expected = ratestest::realRates();
    ASSERT_EQ(rates.size(), expected.size());
    for (std::size_t i = 0; i < rates.size(); ++i) {
        EXPECT_EQ(rates[i].date, "2026-07-06");
        EXPECT_EQ(rates[i].currency, expected[i].first);
        EXPECT_EQ(rates[i].rate, expected[i].second) << rates[i].currency;
    }
}

TEST(MyParser, CubeInAnyLetterCaseCountsAndOnlyCubeCounts) {
    const auto rates = recordsOf("<r><CUBE><cUbE time='2026-01-02'><CUBE currency='USD' rate='1.0850'/>"
                                 "<cube currency='JPY' rate='163.12'/><Cubes currency='GBP' rate='0.9'/>"
                                 "<x:Cube currency='CHF' rate='0.9'/><Rate currency='SEK' rate='11'/>"
                                 "</cUbE></CUBE></r>");
    EXPECT_EQ(codes(rates), "USD JPY");
    ASSERT_EQ(rates.size(), 2u);
    EXPECT_EQ(rates[0].date, "2026-01-02");
    EXPECT_EQ(rates[0].rate, 1.085);
}

TEST(MyParser, DatesApplyToTheRecordsThatFollowThem) {
    const auto rates = recordsOf("<r><Cube currency='AUD' rate='1.5'/><Cube time='2026-01-01'/>"
                                 "<Cube currency='USD' rate='1.1'/><Cube time='2026-01-02' currency='GBP' rate='0.8'/>"
                                 "<Cube currency='JPY' rate='160'/><Cube/><Cube rate='3'/></r>");
    ASSERT_EQ(codes(rates), "AUD USD JPY");  // the dated GBP element only sets the date
    EXPECT_EQ(rates[0].date, "");
    EXPECT_EQ(rates[1].date, "2026-01-01");
    EXPECT_EQ(rates[2].date, "2026-01-02");
}

TEST(MyParser, SkipsOddCodesAndRatesThatAreNotFinitePositiveDecimals) {
    const auto rates = recordsOf(
        "<r><Cube time='2026-01-02'>"
        "<Cube currency='co' rate='2'/><Cube currency='unt' rate='3'/><Cube currency='usd' rate='1.1'/>"
        "<Cube currency='EURO' rate='1'/><Cube currency='US' rate='1'/><Cube currency='U$D' rate='1'/>"
        "<Cube currency=' USD' rate='1'/><Cube currency='ÄBC' rate='1'/><Cube currency='1' rate='1'/>"
        "<Cube currency='AAA'/><Cube currency='BBB' rate=''/><Cube currency='CCC' rate='abc'/>"
        "<Cube currency='DDD' rate='0'/><Cube currency='EEE' rate='0.000'/><Cube currency='FFF' rate='-1.5'/>"
        "<Cube currency='GGG' rate='1,5'/><Cube currency='HHH' rate=' 1.5'/><Cube currency='III' rate='1.5 '/>"
        "<Cube currency='JJJ' rate='1e3'/><Cube currency='KKK' rate='inf'/><Cube currency='LLL' rate='nan'/>"
        "<Cube currency='MMM' rate='1.2.3'/><Cube currency='NNN' rate='1" + std::string(400, '0') + "'/>"
        "<Cube currency='OOO' rate='1,000.5'/><Cube currency='PPP' rate='0x10'/><Cube currency='QQQ' rate='.'/>"
        "<Cube currency='USD' rate='1.0850'/><Cube currency='EUR' rate='1'/><Cube currency='XAU' rate='.5'/>"
        "</Cube></r>");
    EXPECT_EQ(codes(rates), "USD EUR XAU");
    ASSERT_EQ(rates.size(), 3u);
    EXPECT_EQ(rates[2].rate, 0.5);
}

TEST(MyParser, DecimalNumbersAreReadFromTheWholeText) {
    EXPECT_EQ(MyParser::decimalNumber("1.0850"), 1.085);
    EXPECT_EQ(MyParser::decimalNumber("20565.38"), 20565.38);
    EXPECT_EQ(MyParser::decimalNumber("7"), 7.0);
    EXPECT_EQ(MyParser::decimalNumber("5."), 5.0);
    EXPECT_EQ(MyParser::decimalNumber("-2.5"), -2.5);
    EXPECT_EQ(MyParser::decimalNumber("+2.5"), 2.5);
    for (const char* text : {"", "-", ".", "1..2", "1 ", "1e5", "1E5", "1,5", "١٫٥", "inf", "nan", "0x1p3"})
        EXPECT_FALSE(MyParser::decimalNumber(text)) << text;
}

TEST(MyParser, ADocumentCutOffIsReportedNotWellFormed) {
    const std::string real = ratestest::realDocument();
    bool wellFormed = true;
    const auto rates = recordsOf(real.substr(0, real.size() / 2), &wellFormed);
    EXPECT_FALSE(wellFormed);
    EXPECT_FALSE(rates.empty());  // records before the cut were seen; the store refuses them
}

TEST(ExchangeRateFeed, DerivedRatesKeepFourPlacesOrFourSignificantDigitsBelowOneThousandth) {
    EXPECT_EQ(ExchangeRateFeed::roundedRate(1.0 / 1.085), 0.9217);           // USDEUR
    EXPECT_EQ(ExchangeRateFeed::roundedRate(163.12 / 1.085), 150.341);       // USDJPY
    EXPECT_EQ(ExchangeRateFeed::roundedRate(1.085 / 163.12), 0.0067);        // JPYUSD
    EXPECT_EQ(ExchangeRateFeed::roundedRate(0.85538 / 20565.38), 4.159e-05);  // IDRGBP, not 0
    EXPECT_EQ(ExchangeRateFeed::roundedRate(1.0 / 20565.38), 4.863e-05);     // IDREUR, not 0.0001
    EXPECT_EQ(ExchangeRateFeed::roundedRate(185.31 / 20565.38), 0.009);      // IDRJPY: 0.00901... at four places
    EXPECT_EQ(ExchangeRateFeed::roundedRate(0.001), 0.001);
    EXPECT_EQ(ExchangeRateFeed::roundedRate(0.00099996), 0.001);
    EXPECT_EQ(ExchangeRateFeed::roundedRate(0.00012345678), 0.0001235);
    EXPECT_EQ(ExchangeRateFeed::roundedRate(1.23456e-12), 1.235e-12);
    EXPECT_EQ(ExchangeRateFeed::roundedRate(3.14159e-300), 3.142e-300);
    // Halves go away from zero (10312.5 and 1.5 are exact in binary).
    EXPECT_EQ(ExchangeRateFeed::roundedRate(1.03125), 1.0313);
    EXPECT_EQ(ExchangeRateFeed::roundedRate(-1.03125), -1.0313);
    EXPECT_EQ(ExchangeRateFeed::roundedRate(0.00015), 0.00015);
    EXPECT_EQ(ExchangeRateFeed::roundedRate(12345.678949), 12345.6789);
    EXPECT_TRUE(std::isinf(ExchangeRateFeed::roundedRate(std::numeric_limits<double>::infinity())));
    // Every derived rate of the real document is positive.
    for (const auto& [x, rateX] : ratestest::realRates())
        for (const auto& [y, rateY] : ratestest::realRates())
            EXPECT_GT(ExchangeRateFeed::roundedRate(rateY / rateX), 0.0) << x << y;
}

TEST(ExchangeRateFeed, TodayIsTheGregorianDateInLatinDigitsWhateverTheLocale) {
    setenv("TZ", "UTC", 1);
    tzset();
    for (const char* locale : {"en_US", "ar_EG", "fa_IR@calendar=persian", "th_TH@calendar=buddhist", "ja_JP@calendar=japanese"}) {
        foundation::Locale::setCurrent(locale);
        const std::string before = ExchangeRateFeed::todayText();
        const std::chrono::year_month_day day{std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
        char expected[32];
        std::snprintf(expected, sizeof expected, "%04d-%02u-%02u", static_cast<int>(day.year()),
                      static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
        const std::string after = ExchangeRateFeed::todayText();
        EXPECT_TRUE(before == expected || after == expected) << locale << ": " << after << " vs " << expected;
    }
    foundation::Locale::setCurrent("en_US");
    unsetenv("TZ");
    tzset();
}
