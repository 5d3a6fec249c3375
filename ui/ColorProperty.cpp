#include "ui/ColorProperty.h"

#include <charconv>

namespace ostrelo {

bool ColorProperty::parseInteger(const std::string& key, const std::string& value, int& result, std::string& error) {
    const char* begin = value.data();
    const char* end = begin + value.size();
    const auto [next, problem] = std::from_chars(begin, end, result);
    if (problem != std::errc() || next != end || value.empty()) {
        error = "property \"" + key + "\" needs an integer, not \"" + value + "\"";
        return false;
    }
    return true;
}

bool ColorProperty::parseCase(const std::string& key, const std::string& value, const std::vector<std::string>& cases,
                              int& result, std::string& error) {
    for (std::size_t i = 0; i < cases.size(); ++i) {
        if (cases[i] == value) {
            result = static_cast<int>(i);
            return true;
        }
    }
    if (value.empty() || (value[0] != '-' && (value[0] < '0' || value[0] > '9'))) {
        std::string names;
        for (const auto& c : cases) names += (names.empty() ? "" : ", ") + c;
        error = "property \"" + key + "\" has no case \"" + value + "\" (cases: " + names + ")";
        return false;
    }
    return parseInteger(key, value, result, error);
}

}  // namespace ostrelo
