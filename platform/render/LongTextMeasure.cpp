#include "platform/render/LongTextMeasure.h"

#include "platform/foundation/Characters.h"
#include "platform/render/TextLayoutCache.h"

#include <algorithm>

namespace render {

namespace {

bool isAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }
bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Bytes looked at on each side of a cut, and how far past the aimed length a cut is sought.
constexpr std::size_t contextBytes = 16;
constexpr std::size_t searchBytes = 64;

// One font throughout, nothing raised or underlined.
bool oneFont(const uikit::AttributedString& text) {
    const auto& runs = text.runs();
    if (runs.empty()) return false;
    for (const auto& run : runs) {
        if (run.attributes.font != runs.front().attributes.font || run.attributes.baselineOffset != 0 ||
            run.attributes.underlineStyle.value_or(0) != 0)
            return false;
    }
    return true;
}

// One line read left to right: no control character (a line break or a tab), no line or
// paragraph separator, nothing of a right-to-left script (which would reorder the pieces).
bool plainLine(const std::string& plain) {
    for (std::size_t i = 0; i < plain.size();) {
        char32_t c = 0;
        const std::size_t length = foundation::Characters::decodeUtf8(plain, i, c);
        if (length == 0 || c < 0x20 || c == 0x7F || c == 0x2028 || c == 0x2029 || (c >= 0x0590 && c <= 0x08FF) ||
            (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF) || (c >= 0x10800 && c <= 0x10FFF) ||
            (c >= 0x1E800 && c <= 0x1EFFF) || (c >= 0x200E && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
            (c >= 0x2066 && c <= 0x2069))
            return false;
        i += length;
    }
    return true;
}

}  // namespace

uikit::AttributedString LongTextMeasure::slice(const uikit::AttributedString& text, std::size_t from, std::size_t to) {
    uikit::AttributedString part;
    std::size_t at = 0;
    for (const auto& run : text.runs()) {
        const std::size_t end = at + run.text.size();
        const std::size_t a = std::max(from, at), b = std::min(to, end);
        if (a < b) part.append(run.text.substr(a - at, b - a), run.attributes);
        at = end;
    }
    return part;
}

namespace {

// Whether the characters on either side of the cut are laid out as they are apart.
bool shapesApart(const uikit::AttributedString& text, const std::string& plain, std::size_t cut) {
    std::size_t from = cut - std::min(cut, contextBytes);
    while (from < cut && isContinuation(plain[from])) ++from;
    std::size_t to = std::min(plain.size(), cut + contextBytes);
    while (to > cut && to < plain.size() && isContinuation(plain[to])) --to;
    const long left = TextLayout(LongTextMeasure::slice(text, from, cut)).units().width;
    const long right = TextLayout(LongTextMeasure::slice(text, cut, to)).units().width;
    return TextLayout(LongTextMeasure::slice(text, from, to)).units().width == left + right;
}

}  // namespace

std::optional<std::pair<std::size_t, LongTextMeasure::Piece>> LongTextMeasure::piece(
    const uikit::AttributedString& text, const std::string& plain, std::size_t from) {
    auto measure = [&](std::size_t to) {
        const TextLayout layout(LongTextMeasure::slice(text, from, to));
        return Piece{layout.units(), layout.ink(), layout.scale()};
    };
    if (plain.size() - from < pieceBytes + searchBytes + contextBytes) return std::pair{plain.size(), measure(plain.size())};
    for (std::size_t cut = from + pieceBytes; cut < from + pieceBytes + searchBytes; ++cut) {
        if (!isAscii(plain[cut - 1]) || !isAscii(plain[cut]) || (plain[cut - 1] == '\r' && plain[cut] == '\n'))
            continue;
        std::string key = TextLayoutCache::keyOf(LongTextMeasure::slice(text, from, cut));
        key.append(plain, cut, contextBytes);
        if (auto known = pieces_.find(key); known != pieces_.end()) return std::pair{cut, known->second};
        if (!shapesApart(text, plain, cut)) continue;
        if (pieces_.size() >= piecesKept) pieces_.clear();
        return std::pair{cut, pieces_.emplace(std::move(key), measure(cut)).first->second};
    }
    return std::nullopt;
}

std::optional<uikit::Size> LongTextMeasure::size(const uikit::AttributedString& text) {
    const Pieces* found = pieces(text);
    if (found == nullptr) return std::nullopt;
    long width = 0, ascent = 0, descent = 0;
    for (const auto& p : found->pieces) {
        width += p.units.width;
        ascent = std::max(ascent, p.units.ascent);
        descent = std::max(descent, p.units.descent);
    }
    // As TextLayout::size reckons the whole line.
    return uikit::Size{static_cast<double>(width) / 1024 * found->scale,
                       static_cast<double>(ascent + descent) / 1024 * found->scale};
}

const LongTextMeasure::Pieces* LongTextMeasure::pieces(const uikit::AttributedString& text) {
    const std::string plain = text.string();
    if (plain.size() < shortest) return nullptr;
    for (const auto& [known, kept] : texts_)
        if (known == text) return &kept;
    if (!oneFont(text) || !plainLine(plain)) return nullptr;
    Pieces all;
    double scale = 0;
    for (std::size_t from = 0; from < plain.size();) {
        const auto found = piece(text, plain, from);
        if (!found || (scale != 0 && found->second.scale != scale)) return nullptr;
        const Piece& p = found->second;
        all.pieces.push_back({from, found->first, p.units, p.ink});
        scale = p.scale;
        from = found->first;
    }
    all.scale = scale;
    if (texts_.size() >= textsKept) texts_.erase(texts_.begin());
    texts_.emplace_back(text, std::move(all));
    return &texts_.back().second;
}

}  // namespace render
