#include "tests/storage/StorePrinting.h"

#include <bit>
#include <iomanip>

namespace foundation {
void PrintTo(const PropertyListValue& value, std::ostream* out) {
    switch (value.kind()) {
        case PropertyListValue::Kind::boolean: *out << (*value.boolValue() ? "true" : "false"); break;
        case PropertyListValue::Kind::integer: *out << *value.integerValue(); break;
        case PropertyListValue::Kind::real:
            *out << std::setprecision(17) << *value.realValue() << "(0x" << std::hex
                 << std::bit_cast<std::uint64_t>(*value.realValue()) << std::dec << ")";
            break;
        case PropertyListValue::Kind::string: *out << '"' << *value.stringValue() << '"'; break;
        case PropertyListValue::Kind::array: {
            *out << '[';
            bool first = true;
            for (const auto& element : *value.arrayValue()) {
                if (!first) *out << ", ";
                first = false;
                PrintTo(element, out);
            }
            *out << ']';
            break;
        }
        case PropertyListValue::Kind::dictionary: {
            *out << '{';
            bool first = true;
            for (const auto& [key, element] : *value.dictionaryValue()) {
                if (!first) *out << ", ";
                first = false;
                *out << '"' << key << "\": ";
                PrintTo(element, out);
            }
            *out << '}';
            break;
        }
    }
}
}  // namespace foundation

namespace ostrelo {
void PrintTo(const CalculatorLine& line, std::ostream* out) {
    *out << "{\"" << line.item << "\", \"" << line.type << "\", " << std::setprecision(17) << line.number << ", "
         << line.digits << ", " << (line.separator ? "true" : "false") << ", " << line.fraction << ", "
         << line.parentheses << "}";
}
}  // namespace ostrelo
