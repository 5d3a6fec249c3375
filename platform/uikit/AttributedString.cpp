#include "platform/uikit/AttributedString.h"


namespace uikit {

namespace {
// UTF-16 units of UTF-8 text: two for every four-byte sequence, one for every other lead byte.
std::size_t utf16Units(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) == 0x80) continue;
        n += c >= 0xF0 ? 2 : 1;
    }
    return n;
}
}  // namespace

AttributedString::AttributedString(std::string text, TextAttributes attributes) {
    append(text, attributes);
}

AttributedString& AttributedString::append(const std::string& text, const TextAttributes& attributes) {
    if (text.empty()) return *this;
    if (!runs_.empty() && runs_.back().attributes == attributes) runs_.back().text += text;
    else runs_.push_back(Run{text, attributes});
    return *this;
}

AttributedString& AttributedString::append(const AttributedString& other) {
    for (const auto& run : other.runs_) append(run.text, run.attributes);
    return *this;
}

std::string AttributedString::string() const {
    std::string s;
    for (const auto& run : runs_) s += run.text;
    return s;
}

bool AttributedString::empty() const { return runs_.empty(); }

std::size_t AttributedString::length() const {
    std::size_t n = 0;
    for (const auto& run : runs_) n += utf16Units(run.text);
    return n;
}

std::optional<TextAttributes> AttributedString::attributesAt(std::size_t index) const {
    std::size_t start = 0;
    for (const auto& run : runs_) {
        std::size_t n = utf16Units(run.text);
        if (index < start + n) return run.attributes;
        start += n;
    }
    return std::nullopt;
}

}  // namespace uikit
