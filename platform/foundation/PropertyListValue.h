#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace foundation {

// One value of the settings suite: a bool, a 64-bit integer, a double, a string,
// or an array or dictionary of these. The kind is kept exactly: a bool never
// reads back as an integer, nor an integer as a bool.
class PropertyListValue {
public:
    enum class Kind { boolean, integer, real, string, array, dictionary };
    using Array = std::vector<PropertyListValue>;
    using Dictionary = std::map<std::string, PropertyListValue>;

    PropertyListValue(bool value);
    PropertyListValue(int value);
    PropertyListValue(std::int64_t value);
    PropertyListValue(double value);
    PropertyListValue(std::string value);
    PropertyListValue(const char* value);
    PropertyListValue(Array value);
    PropertyListValue(Dictionary value);

    Kind kind() const;
    bool isBool() const { return kind() == Kind::boolean; }
    bool isInteger() const { return kind() == Kind::integer; }
    bool isReal() const { return kind() == Kind::real; }
    bool isArray() const { return kind() == Kind::array; }

    // Exact reads: a value only when the kind matches.
    std::optional<bool> boolValue() const;
    std::optional<std::int64_t> integerValue() const;
    std::optional<double> realValue() const;
    std::optional<std::string> stringValue() const;
    const Array* arrayValue() const;
    const Dictionary* dictionaryValue() const;

    // A number of either kind as a double (integers converted); none for other kinds.
    std::optional<double> numberAsDouble() const;

    // Equality by kind and value; doubles compare bit for bit (NaN equals the same NaN).
    friend bool operator==(const PropertyListValue& a, const PropertyListValue& b);

private:
    std::variant<bool, std::int64_t, double, std::string, Array, Dictionary> value_;
};

}  // namespace foundation
