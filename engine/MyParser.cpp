#include "engine/MyParser.h"

#include <charconv>
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
    std::optional<double> rate = 0.0;
    for (const auto& [name, value] : attributes) {
        if (name == "time") time = value;
        else if (name == "currency") code = value;
        else if (name == "rate") rate = decimalNumber(value);
    }
    if (!time.empty()) {
        date = time;
        return;
    }
    if (code.empty()) return;
    if (!isCurrencyCode(code) || !rate || !std::isfinite(*rate) || !(*rate > 0.0)) return;
    rates.push_back(Rates{date, code, *rate});
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

bool MyParser::isCurrencyCode(const std::string& code) {
    if (code.size() != 3) return false;
    for (char c : code)
        if (c < 'A' || c > 'Z') return false;
    return true;
}

}  // namespace ostrelo
