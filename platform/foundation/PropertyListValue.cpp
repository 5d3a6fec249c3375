#include "platform/foundation/PropertyListValue.h"

#include <bit>
#include <cmath>
#include <utility>

namespace foundation {

PropertyListValue::PropertyListValue(bool value) : value_(value) {}
PropertyListValue::PropertyListValue(int value) : value_(static_cast<std::int64_t>(value)) {}
PropertyListValue::PropertyListValue(std::int64_t value) : value_(value) {}
PropertyListValue::PropertyListValue(double value) : value_(value) {}
PropertyListValue::PropertyListValue(std::string value) : value_(std::move(value)) {}
PropertyListValue::PropertyListValue(const char* value) : value_(std::string(value ? value : "")) {}
PropertyListValue::PropertyListValue(Array value) : value_(std::move(value)) {}
PropertyListValue::PropertyListValue(Dictionary value) : value_(std::move(value)) {}

PropertyListValue::Kind PropertyListValue::kind() const {
    switch (value_.index()) {
        case 0: return Kind::boolean;
        case 1: return Kind::integer;
        case 2: return Kind::real;
        case 3: return Kind::string;
        case 4: return Kind::array;
        default: return Kind::dictionary;
    }
}

std::optional<bool> PropertyListValue::boolValue() const {
    if (const bool* v = std::get_if<bool>(&value_)) return *v;
    return std::nullopt;
}

std::optional<std::int64_t> PropertyListValue::integerValue() const {
    if (const std::int64_t* v = std::get_if<std::int64_t>(&value_)) return *v;
    return std::nullopt;
}

std::optional<double> PropertyListValue::realValue() const {
    if (const double* v = std::get_if<double>(&value_)) return *v;
    return std::nullopt;
}

std::optional<std::string> PropertyListValue::stringValue() const {
    if (const std::string* v = std::get_if<std::string>(&value_)) return *v;
    return std::nullopt;
}

const PropertyListValue::Array* PropertyListValue::arrayValue() const { return std::get_if<Array>(&value_); }

const PropertyListValue::Dictionary* PropertyListValue::dictionaryValue() const {
    return std::get_if<Dictionary>(&value_);
}

std::optional<double> PropertyListValue::numberAsDouble() const {
    if (const double* v = std::get_if<double>(&value_)) return *v;
    if (const std::int64_t* v = std::get_if<std::int64_t>(&value_)) return static_cast<double>(*v);
    return std::nullopt;
}

bool operator==(const PropertyListValue& a, const PropertyListValue& b) {
    if (a.value_.index() != b.value_.index()) return false;
    if (const double* x = std::get_if<double>(&a.value_)) {
        return std::bit_cast<std::uint64_t>(*x) == std::bit_cast<std::uint64_t>(std::get<double>(b.value_));
    }
    // Arrays and dictionaries compare element by element through this operator.
    return a.value_ == b.value_;
}

}  // namespace foundation
