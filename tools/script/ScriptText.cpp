#include "tools/script/ScriptText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace script {

std::string inQuotes(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte == 0x7f) {
            constexpr char digits[] = "0123456789abcdef";
            out += {'\\', 'x', digits[byte >> 4], digits[byte & 0xf]};
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string numberText(double value) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::optional<double> parseNumber(const std::string& word) {
    double value = 0;
    const char* end = word.data() + word.size();
    auto result = std::from_chars(word.data(), end, value);
    if (word.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<foundation::PropertyListValue> parseStoreValue(const ScriptWord& word, std::string& error) {
    if (word.quoted) return foundation::PropertyListValue(word.text);
    if (word.text == "true") return foundation::PropertyListValue(true);
    if (word.text == "false") return foundation::PropertyListValue(false);
    const char* end = word.text.data() + word.text.size();
    std::int64_t integer = 0;
    auto result = std::from_chars(word.text.data(), end, integer);
    if (!word.text.empty() && result.ec == std::errc() && result.ptr == end) return foundation::PropertyListValue(integer);
    if (auto number = parseNumber(word.text)) return foundation::PropertyListValue(*number);
    error = "not a value: " + word.text + " (true, false, a number or a quoted text)";
    return std::nullopt;
}

std::string storeValueText(const foundation::PropertyListValue& value) {
    using Kind = foundation::PropertyListValue::Kind;
    switch (value.kind()) {
        case Kind::boolean: return *value.boolValue() ? "true" : "false";
        case Kind::integer: return std::to_string(*value.integerValue());
        case Kind::real: {
            std::string text = numberText(*value.realValue());
            return text.find_first_of(".en") == std::string::npos ? text + ".0" : text;
        }
        case Kind::string: return inQuotes(*value.stringValue());
        case Kind::array: {
            std::string out = "[";
            for (const auto& item : *value.arrayValue()) out += (out.size() > 1 ? " " : "") + storeValueText(item);
            return out + "]";
        }
        case Kind::dictionary: {
            std::string out = "[";
            for (const auto& [key, item] : *value.dictionaryValue())
                out += (out.size() > 1 ? " " : "") + key + "=" + storeValueText(item);
            return out + "]";
        }
    }
    return "";
}

}  // namespace script
