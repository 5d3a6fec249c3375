#include "platform/foundation/Characters.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utext.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace foundation {

namespace {

icu::BreakIterator* characterIterator() {
    thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status)) made.reset();
        return made;
    }();
    return iterator.get();
}

// Appends the byte offsets (relative to the whole text, `base` being the run's start)
// at which the clusters of a well-formed run end.
void appendClusterEnds(std::string_view run, std::size_t base, std::vector<std::size_t>& ends) {
    std::u16string units;
    std::vector<std::size_t> unitOffset;  // byte offset of every UTF-16 unit, plus the end
    units.reserve(run.size());
    unitOffset.reserve(run.size() + 1);
    std::vector<std::size_t> codePointEnds;
    for (std::size_t i = 0; i < run.size();) {
        char32_t c = 0;
        const std::size_t length = Characters::decodeUtf8(run, i, c);
        if (c >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
            unitOffset.push_back(i);
            unitOffset.push_back(i);
        } else {
            units.push_back(static_cast<char16_t>(c));
            unitOffset.push_back(i);
        }
        i += length;
        codePointEnds.push_back(i);
    }
    unitOffset.push_back(run.size());

    icu::BreakIterator* iterator = characterIterator();
    UErrorCode status = U_ZERO_ERROR;
    UText* text = nullptr;
    if (iterator != nullptr) text = utext_openUChars(nullptr, units.data(), static_cast<int64_t>(units.size()), &status);
    if (iterator != nullptr && U_SUCCESS(status)) iterator->setText(text, status);
    if (iterator == nullptr || U_FAILURE(status)) {
        // Without the break rules every code point stands alone.
        for (std::size_t end : codePointEnds) ends.push_back(base + end);
        if (text != nullptr) utext_close(text);
        return;
    }
    for (int32_t boundary = iterator->next(); boundary != icu::BreakIterator::DONE; boundary = iterator->next())
        ends.push_back(base + unitOffset[static_cast<std::size_t>(boundary)]);
    // Leave no dangling reference to the local buffer behind.
    UText* empty = utext_openUChars(nullptr, nullptr, 0, &status);
    iterator->setText(empty, status);
    utext_close(text);
    utext_close(empty);
}

// Byte offsets at which the characters of text end, in order.
std::vector<std::size_t> clusterEnds(std::string_view text) {
    std::vector<std::size_t> ends;
    ends.reserve(text.size());
    bool ascii = true;
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ends.push_back(i + 1);
        }
        return ends;
    }
    std::size_t runStart = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        const std::size_t length = Characters::decodeUtf8(text, i, c);
        if (length > 0) {
            i += length;
            continue;
        }
        if (i > runStart) appendClusterEnds(text.substr(runStart, i - runStart), runStart, ends);
        ends.push_back(i + 1);  // a bad byte is a character of its own
        ++i;
        runStart = i;
    }
    if (i > runStart) appendClusterEnds(text.substr(runStart, i - runStart), runStart, ends);
    return ends;
}

// The upper case of a well-formed run.
std::string uppercasedRun(std::string_view run) {
    std::string out;
    icu::UnicodeString::fromUTF8(icu::StringPiece(run.data(), static_cast<int32_t>(run.size())))
        .toUpper(icu::Locale::getRoot())
        .toUTF8String(out);
    return out;
}

}  // namespace

std::vector<std::string> Characters::split(std::string_view text) {
    std::vector<std::string> characters;
    const std::vector<std::size_t> ends = clusterEnds(text);
    characters.reserve(ends.size());
    std::size_t start = 0;
    for (std::size_t end : ends) {
        characters.emplace_back(text.substr(start, end - start));
        start = end;
    }
    return characters;
}

std::size_t Characters::count(std::string_view text) { return clusterEnds(text).size(); }

std::size_t Characters::utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const std::size_t length = Characters::decodeUtf8(text, i, c);
        if (length == 0) {
            ++units;  // a bad byte reads as one replacement character
            ++i;
            continue;
        }
        units += c >= 0x10000 ? 2 : 1;
        i += length;
    }
    return units;
}

std::string Characters::prefix(std::string_view text, std::size_t n) {
    if (n == 0) return {};
    const std::vector<std::size_t> ends = clusterEnds(text);
    if (n >= ends.size()) return std::string(text);
    return std::string(text.substr(0, ends[n - 1]));
}

std::string Characters::suffix(std::string_view text, std::size_t n) {
    const std::vector<std::size_t> ends = clusterEnds(text);
    if (n >= ends.size()) return std::string(text);
    return std::string(text.substr(ends[ends.size() - n - 1]));
}

std::string Characters::dropFirst(std::string_view text, std::size_t n) {
    if (n == 0) return std::string(text);
    const std::vector<std::size_t> ends = clusterEnds(text);
    if (n >= ends.size()) return {};
    return std::string(text.substr(ends[n - 1]));
}

std::string Characters::dropLast(std::string_view text, std::size_t n) {
    const std::vector<std::size_t> ends = clusterEnds(text);
    if (n >= ends.size()) return {};
    return std::string(text.substr(0, ends[ends.size() - n - 1]));
}

void Characters::replaceOccurrences(std::string& text, std::string_view of, std::string_view with) {
    if (of.empty()) return;
    const std::size_t first = text.find(of);
    if (first == std::string::npos) return;
    if (with.size() > of.size()) {
        std::string result(text, 0, first);
        std::size_t read = first;
        for (std::size_t found = first; found != std::string::npos; found = text.find(of, read)) {
            result.append(text, read, found - read).append(with);
            read = found + of.size();
        }
        text = result.append(text, read);
        return;
    }
    // Everything moves towards the front: what is written never passes what is still to be read.
    char* data = text.data();
    const std::size_t size = text.size();
    std::size_t written = first;
    for (std::size_t read = first; read < size;) {
        if (data[read] == of.front() &&
            (of.size() == 1 || (size - read >= of.size() && std::memcmp(data + read, of.data(), of.size()) == 0))) {
            std::memcpy(data + written, with.data(), with.size());
            written += with.size();
            read += of.size();
        } else {
            data[written++] = data[read++];
        }
    }
    text.resize(written);
}

std::string Characters::uppercased(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t runStart = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        const std::size_t length = Characters::decodeUtf8(text, i, c);
        if (length > 0) {
            i += length;
            continue;
        }
        out += uppercasedRun(text.substr(runStart, i - runStart));
        out += text[i];  // a bad byte is kept as it is
        runStart = ++i;
    }
    out += uppercasedRun(text.substr(runStart));
    return out;
}

std::string Characters::trimmingWhitespaceAndNewlines(std::string_view text) {
    // Code points are read forwards; the end of the last one that is not white space is kept.
    std::size_t start = text.size();
    std::size_t end = 0;
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        std::size_t length = Characters::decodeUtf8(text, i, c);
        const bool space = length > 0 && u_isUWhiteSpace(static_cast<UChar32>(c));
        if (length == 0) length = 1;  // a bad byte is not white space
        if (!space) {
            start = std::min(start, i);
            end = i + length;
        }
        i += length;
    }
    return start < end ? std::string(text.substr(start, end - start)) : std::string();
}

std::size_t Characters::decodeUtf8(std::string_view text, std::size_t i, char32_t& codePoint) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = byte(i + k);
        if ((next & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
    return length;
}

std::string Characters::fromLatin1(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (const char byte : latin1) appendUtf8(out, static_cast<unsigned char>(byte));
    return out;
}

void Characters::appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool Characters::isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        char32_t ignored = 0;
        const std::size_t length = Characters::decodeUtf8(text, i, ignored);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

}  // namespace foundation
