#pragma once

#include "platform/foundation/PropertyListValue.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ratestest {

using Store = foundation::PropertyListValue::Dictionary;
using CurrencyRates = std::vector<std::pair<std::string, double>>;

// The real daily document of the test data (29 currencies of 2026-07-06).
std::string realDocument();
std::vector<std::uint8_t> bytes(const std::string& text);

// A feed document in the real one's shape for the date and the currencies.
std::string feedDocument(const std::string& date, const CurrencyRates& rates);

// Every key a download of these records writes, worked out here on its own:
// 2 + 3n + n² keys, derived rates to four places, or four significant digits below 0.001.
Store expectedKeys(const std::string& date, const CurrencyRates& rates);
// The records of the real document.
CurrencyRates realRates();
// `count` records with the distinct codes "AAA", "AAB", ... (none of them "EUR" below 3,000).
CurrencyRates manyRates(std::size_t count);

// `before` with `written` laid over it.
Store merged(Store before, const Store& written);
// A readable list of the keys in which two stores differ (empty when equal).
std::string difference(const Store& expected, const Store& actual);

}  // namespace ratestest
