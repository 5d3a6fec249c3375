#include "engine/MyParser.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <utility>

namespace ostrelo {

namespace {

std::string lowerCased(const std::string& text) {
    std::string result = text;
    for (char& c : result)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return result;
}

}  // namespace

MyParser::MyParser(std::vector<std::uint8_t> data) : parser(std::move(data)) {
    parser.setElementStartHandler([this](const std::string& elementName,
                                         const foundation::XmlParser::Attributes& attributes) {
        didStartElement(elementName, attributes);
    });
}

bool MyParser::parse() { return parser.parse(); }

void MyParser::didStartElement(const std::string& elementName, const foundation::XmlParser::Attributes& attributes) {
    if (lowerCased(elementName) != "cube") return;
    std::string time;
    std::string code;
    bool rated = false;
    std::optional<double> rate = 0.0;
    for (const auto& [name, value] : attributes) {
        if (name == "time") time = value;
        else if (name == "currency") code = value;
        else if (name == "rate") {
            rated = true;
            rate = decimalNumber(value);
        }
    }
    if (!time.empty()) {
        date = isFeedDate(time) ? time : std::string();
        return;
    }
    if (code.empty()) return;
    ++currencyElements_;
    if (!isCurrencyCode(code)) ++skipped_.code;
    else if (!rated) ++skipped_.missingRate;
    else if (!rate || !std::isfinite(*rate)) ++skipped_.notDecimal;
    else if (!(*rate > 0.0)) ++skipped_.notPositive;
    else rates.push_back(Rates{date, code, *rate});
}

std::string MyParser::skippedSummary() const {
    if (skipped_.total() == 0) return {};
    std::string reasons;
    const std::pair<int, const char*> counts[] = {{skipped_.code, "with a code that is not three capital letters"},
                                                  {skipped_.missingRate, "without a rate"},
                                                  {skipped_.notDecimal, "with a rate that is no plain decimal number"},
                                                  {skipped_.notPositive, "with a rate of 0 or below"}};
    for (const auto& [count, reason] : counts) {
        if (count == 0) continue;
        reasons += (reasons.empty() ? "" : ", ") + std::to_string(count) + " " + reason;
    }
    return "skipped " + std::to_string(skipped_.total()) + " of the " + std::to_string(currencyElements_) +
           " currency records: " + reasons;
}

std::optional<double> MyParser::decimalNumber(const std::string& text) {
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const std::size_t start = at;
    bool digit = false;
    bool point = false;
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digit) return std::nullopt;
    double value = 0.0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (error != std::errc() || end != last) return std::nullopt;  // out of range included
    return text[0] == '-' ? -value : value;
}

bool MyParser::isFeedDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    auto number = [&text](std::size_t from, std::size_t length) {
        int value = 0;
        for (std::size_t i = from; i < from + length; ++i) {
            if (text[i] < '0' || text[i] > '9') return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    if (year < 0 || month < 0 || day < 0) return false;
    return std::chrono::year_month_day(std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                                       std::chrono::day(static_cast<unsigned>(day)))
        .ok();
}

bool MyParser::isCurrencyCode(const std::string& code) {
    if (code.size() != 3) return false;
    for (char c : code)
        if (c < 'A' || c > 'Z') return false;
    return true;
}

}  // namespace ostrelo
