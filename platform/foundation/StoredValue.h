// The value coding of the settings store: the bytes a PropertyListValue is kept as.
#pragma once

#include "platform/foundation/PropertyListValue.h"

#include <cstddef>
#include <optional>
#include <string>

namespace foundation {

// A value's stored form: a tag byte, then the payload, little-endian.
// 'F'/'T' bool, 'I' 64-bit integer, 'D' the 64 bits of a double, 'S' length + UTF-8 bytes,
// 'A' count + values, 'M' count + (key length + key bytes + value) pairs.
// A value reads back with its kind and its bits exactly as written.
class StoredValue {
public:
    static std::string encode(const PropertyListValue& value);
    // The value `size` bytes at `data` hold; none unless they are exactly one value in the stored
    // form, nested at most 200 levels deep.
    static std::optional<PropertyListValue> decode(const unsigned char* data, std::size_t size);
};

}  // namespace foundation
