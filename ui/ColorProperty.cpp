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

}  // namespace ostrelo
