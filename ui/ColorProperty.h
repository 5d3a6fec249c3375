#pragma once

#include <string>

namespace ostrelo {

// Reads the integer value of a "color" or "type" property of an interface file.
class ColorProperty {
public:
    // False, with a message in `error`, when `value` is not a whole integer.
    static bool parseInteger(const std::string& key, const std::string& value, int& result, std::string& error);
};

}  // namespace ostrelo
