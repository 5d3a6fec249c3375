#pragma once

#include <optional>
#include <string>

namespace ostrelo {

// Reads the integer value of a "color" or "type" property of an interface file.
class ColorProperty {
public:
    // False, with a message in `error`, when `value` is not a whole integer.
    static bool parseInteger(const std::string& key, const std::string& value, int& result, std::string& error);

    // The case of `Enum` with raw value `rawValue` when it lies in 0 ... `last`; none otherwise.
    template <typename Enum>
    static std::optional<Enum> caseFromRawValue(int rawValue, Enum last) {
        if (rawValue < 0 || rawValue > static_cast<int>(last)) return std::nullopt;
        return static_cast<Enum>(rawValue);
    }

    // For the property `name`: parses `value` as an integer and hands it to `setter` (false, with
    // a message in `error`, when it is not one). Any other key goes to `base()`, the base class.
    template <typename Setter, typename Base>
    static bool setInteger(const std::string& name, const std::string& key, const std::string& value,
                           std::string& error, Setter setter, Base base) {
        if (key != name) return base();
        int raw = 0;
        if (!parseInteger(key, value, raw, error)) return false;
        setter(raw);
        return true;
    }
};

}  // namespace ostrelo
