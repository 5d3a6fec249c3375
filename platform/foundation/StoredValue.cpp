// The value coding of the settings store: writing a value in its stored form and reading it back.
#include "platform/foundation/StoredValue.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>

namespace foundation {

namespace {

constexpr int maximumNestingDepth = 200;

void putUnsigned(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

void encodeValue(const PropertyListValue& value, std::string& out);

void encodeArray(const PropertyListValue::Array& array, std::string& out) {
    out.push_back('A');
    putUnsigned(out, array.size(), 4);
    for (const auto& element : array) encodeValue(element, out);
}

void encodeDictionary(const PropertyListValue::Dictionary& dictionary, std::string& out) {
    out.push_back('M');
    putUnsigned(out, dictionary.size(), 4);
    for (const auto& [key, element] : dictionary) {
        putUnsigned(out, key.size(), 4);
        out += key;
        encodeValue(element, out);
    }
}

void encodeValue(const PropertyListValue& value, std::string& out) {
    switch (value.kind()) {
        case PropertyListValue::Kind::boolean: out.push_back(*value.boolValue() ? 'T' : 'F'); break;
        case PropertyListValue::Kind::integer:
            out.push_back('I');
            putUnsigned(out, static_cast<std::uint64_t>(*value.integerValue()), 8);
            break;
        case PropertyListValue::Kind::real:
            out.push_back('D');
            putUnsigned(out, std::bit_cast<std::uint64_t>(*value.realValue()), 8);
            break;
        case PropertyListValue::Kind::string: {
            const std::string text = *value.stringValue();
            out.push_back('S');
            putUnsigned(out, text.size(), 4);
            out += text;
            break;
        }
        case PropertyListValue::Kind::array: encodeArray(*value.arrayValue(), out); break;
        case PropertyListValue::Kind::dictionary: encodeDictionary(*value.dictionaryValue(), out); break;
    }
}

// Reads one value from a run of bytes, refusing anything short, unknown or nested too deep.
class Decoder {
public:
    Decoder(const unsigned char* data, std::size_t size) : next_(data), end_(data + size) {}

    std::optional<PropertyListValue> decodeWhole() {
        auto value = decode(0);
        if (!value || next_ != end_) return std::nullopt;
        return value;
    }

private:
    bool take(std::size_t bytes) { return static_cast<std::size_t>(end_ - next_) >= bytes; }

    std::optional<std::uint64_t> unsignedValue(int bytes) {
        if (!take(static_cast<std::size_t>(bytes))) return std::nullopt;
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= static_cast<std::uint64_t>(next_[i]) << (8 * i);
        next_ += bytes;
        return value;
    }

    std::optional<std::string> text() {
        auto length = unsignedValue(4);
        if (!length || !take(*length)) return std::nullopt;
        std::string result(reinterpret_cast<const char*>(next_), *length);
        next_ += *length;
        return result;
    }

    std::optional<PropertyListValue> decode(int depth) {
        if (depth > maximumNestingDepth || !take(1)) return std::nullopt;
        const unsigned char tag = *next_++;
        switch (tag) {
            case 'F': return PropertyListValue(false);
            case 'T': return PropertyListValue(true);
            case 'I': {
                auto bits = unsignedValue(8);
                if (!bits) return std::nullopt;
                return PropertyListValue(static_cast<std::int64_t>(*bits));
            }
            case 'D': {
                auto bits = unsignedValue(8);
                if (!bits) return std::nullopt;
                return PropertyListValue(std::bit_cast<double>(*bits));
            }
            case 'S': {
                auto value = text();
                if (!value) return std::nullopt;
                return PropertyListValue(std::move(*value));
            }
            case 'A': return array(depth);
            case 'M': return dictionary(depth);
            default: return std::nullopt;
        }
    }

    std::optional<PropertyListValue> array(int depth) {
        auto count = unsignedValue(4);
        if (!count) return std::nullopt;
        PropertyListValue::Array array;
        // Every element takes a byte at least: a damaged count reserves no more than is there.
        array.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(*count, static_cast<std::uint64_t>(end_ - next_))));
        for (std::uint64_t i = 0; i < *count; ++i) {
            auto element = decode(depth + 1);
            if (!element) return std::nullopt;
            array.push_back(std::move(*element));
        }
        return PropertyListValue(std::move(array));
    }

    std::optional<PropertyListValue> dictionary(int depth) {
        auto count = unsignedValue(4);
        if (!count) return std::nullopt;
        PropertyListValue::Dictionary dictionary;
        for (std::uint64_t i = 0; i < *count; ++i) {
            auto key = text();
            if (!key) return std::nullopt;
            auto element = decode(depth + 1);
            if (!element) return std::nullopt;
            dictionary.insert_or_assign(std::move(*key), std::move(*element));
        }
        return PropertyListValue(std::move(dictionary));
    }

    const unsigned char* next_;
    const unsigned char* end_;
};

}  // namespace

std::string StoredValue::encode(const PropertyListValue& value) {
    std::string out;
    encodeValue(value, out);
    return out;
}

std::optional<PropertyListValue> StoredValue::decode(const unsigned char* data, std::size_t size) {
    return Decoder(data, size).decodeWhole();
}

}  // namespace foundation
