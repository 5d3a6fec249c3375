#include "engine/CurrencyConversion.h"

#include "engine/SharedSettings.h"
#include "platform/foundation/DecimalNumber.h"

namespace ostrelo {

double CurrencyConversion::storedRate(const std::string& from, const std::string& to) {
    return pairRate(from, to).value_or(1.0);
}

std::optional<double> CurrencyConversion::pairRate(const std::string& from, const std::string& to) {
    const auto value = SharedSettings::open()->object(SharedSettings::ratePair(from, to));
    if (!value) return std::nullopt;
    return value->numberAsDouble();
}

CurrencyConversion::RateDigits CurrencyConversion::rateDigits(double rate) {
    const std::string text = foundation::DecimalNumber::shortestText(rate);
    const std::size_t point = text.find('.');
    RateDigits result;
    result.fraction = point == std::string::npos ? 0 : static_cast<std::int64_t>(text.size() - point - 1);
    result.digits = static_cast<std::int64_t>(text.size()) - (point == std::string::npos ? 0 : 1);
    return result;
}

}  // namespace ostrelo
