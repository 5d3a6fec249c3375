#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ostrelo {

// Reads the integer value of a "color" or "type" property of an interface file, given as a raw
// value or, under the property's full name ("myButtonType", "myLableBackgroundColor", ...) or
// its short one, as the name of the case.
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

    // For the property `name` or `fullName`: reads `value` as a case of an enumeration whose
    // cases are named in `cases` (the raw value is the index), by name or raw value, and hands
    // the raw value to `setter` (false, with a message in `error`, when it is neither). Any
    // other key goes to `base()`, the base class.
    static bool parseCase(const std::string& key, const std::string& value, const std::vector<std::string>& cases,
                          int& result, std::string& error);
    template <typename Setter, typename Base>
    static bool setCase(const std::string& name, const std::string& fullName, const std::vector<std::string>& cases,
                        const std::string& key, const std::string& value, std::string& error, Setter setter,
                        Base base) {
        if (key != name && key != fullName) return base();
        int raw = 0;
        if (!parseCase(key, value, cases, raw, error)) return false;
        setter(raw);
        return true;
    }
};

}  // namespace ostrelo
