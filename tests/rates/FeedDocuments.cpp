#include "tests/rates/FeedDocuments.h"

#include "tests/support/TestEnvironment.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ratestest {

namespace {

double fourPlaces(double value) {
    if (std::fabs(value) < 0.001) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3e", value);
        return std::strtod(text, nullptr);
    }
    return std::round(value * 10000.0) / 10000.0;
}

std::string describe(const foundation::PropertyListValue& value) {
    if (auto s = value.stringValue()) return "\"" + *s + "\"";
    if (auto d = value.realValue()) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", *d);
        return text;
    }
    if (auto i = value.integerValue()) return std::to_string(*i) + " (integer)";
    if (auto b = value.boolValue()) return *b ? "true" : "false";
    return "(collection)";
}

}  // namespace

std::string realDocument() {
    std::ifstream in(testsupport::testDataDirectory() / "eurofxref-daily.xml", std::ios::binary);
    if (!in) throw std::runtime_error("tests/data/eurofxref-daily.xml is missing");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::uint8_t> bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::string feedDocument(const std::string& date, const CurrencyRates& rates) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gesmes:Envelope xmlns:gesmes=\"http://www.gesmes.org/xml/2002-08-01\" "
        "xmlns=\"http://www.ecb.int/vocabulary/2002-08-01/eurofxref\">\n"
        "\t<gesmes:subject>Reference rates</gesmes:subject>\n\t<Cube>\n\t\t<Cube time='" + date + "'>\n";
    for (const auto& [code, rate] : rates) {
        char number[64];
        const auto result = std::to_chars(number, number + sizeof number, rate, std::chars_format::fixed);
        text += "\t\t\t<Cube currency='" + code + "' rate='" + std::string(number, result.ptr) + "'/>\n";
    }
    return text + "\t\t</Cube>\n\t</Cube>\n</gesmes:Envelope>";
}

CurrencyRates realRates() {
    return {{"USD", 1.1415},   {"JPY", 185.31},  {"CZK", 24.157},  {"DKK", 7.4748},   {"GBP", 0.85538},
            {"HUF", 353.50},   {"PLN", 4.2883},  {"RON", 5.2310},  {"SEK", 11.0150},  {"CHF", 0.9201},
            {"ISK", 144.00},   {"NOK", 11.2340}, {"TRY", 53.4222}, {"AUD", 1.6462},   {"BRL", 5.9130},
            {"CAD", 1.6236},   {"CNY", 7.7573},  {"HKD", 8.9528},  {"IDR", 20565.38}, {"ILS", 3.4414},
            {"INR", 108.9035}, {"KRW", 1747.72}, {"MXN", 19.9586}, {"MYR", 4.6630},   {"NZD", 2.0079},
            {"PHP", 70.227},   {"SGD", 1.4765},  {"THB", 38.040},  {"ZAR", 18.5318}};
}

CurrencyRates manyRates(std::size_t count) {
    CurrencyRates rates;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string code{static_cast<char>('A' + i / 676 % 26), static_cast<char>('A' + i / 26 % 26),
                               static_cast<char>('A' + i % 26)};
        rates.emplace_back(code, 1.0 + static_cast<double>(i) / 1000.0);
    }
    return rates;
}

Store expectedKeys(const std::string& date, const CurrencyRates& rates) {
    Store keys;
    keys.emplace("EUR_date", date);
    keys.emplace("EUREUR", 1.0);
    for (const auto& [x, rateX] : rates) {
        keys.insert_or_assign(x + "_date", date);
        keys.insert_or_assign("EUR" + x, rateX);
        keys.insert_or_assign(x + "EUR", fourPlaces(1.0 / rateX));
        for (const auto& [y, rateY] : rates)
            keys.insert_or_assign(x + y, x == y ? 1.0 : fourPlaces(rateY / rateX));
    }
    return keys;
}

Store merged(Store before, const Store& written) {
    for (const auto& [key, value] : written) before.insert_or_assign(key, value);
    return before;
}

std::string difference(const Store& expected, const Store& actual) {
    std::string text;
    for (const auto& [key, value] : expected) {
        const auto found = actual.find(key);
        if (found == actual.end()) text += "  missing " + key + " = " + describe(value) + "\n";
        else if (!(found->second == value))
            text += "  " + key + ": expected " + describe(value) + ", got " + describe(found->second) + "\n";
    }
    for (const auto& [key, value] : actual)
        if (!expected.count(key)) text += "  unexpected " + key + " = " + describe(value) + "\n";
    return text;
}

}  // namespace ratestest
