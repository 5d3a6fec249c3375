#pragma once

#include "platform/render/TextLayout.h"

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace render {

// The size of a long text in one font, added up from pieces of it laid out alone: a text that
// grows or shrinks at its end (a long calculation) lays out its new end only. Pieces end between
// two ASCII characters that shape alike together and apart (no kerning or ligature joins them),
// so that the sum is the size TextLayout gives the whole text. Main thread only.
class LongTextMeasure {
public:
    // Texts shorter than this (in bytes) are laid out whole.
    static constexpr std::size_t shortest = 1024;
    // The length a piece aims at, and how many pieces are kept (every piece but a text's last,
    // which changes with each key; all are forgotten when more are due).
    static constexpr std::size_t pieceBytes = 256;
    static constexpr std::size_t piecesKept = 1024;
    // The last texts measured are kept whole too: a display measures its text several times.
    static constexpr std::size_t textsKept = 4;

    // The size of `text`; none when it is short, or not all in one font with neither raised nor
    // underlined runs.
    std::optional<uikit::Size> size(const uikit::AttributedString& text);
    // The pieces of `text` in order, and the scale they are laid out at; none as for size().
    struct Pieces {
        std::vector<TextLayout::Piece> pieces;
        double scale = 1;
    };
    const Pieces* pieces(const uikit::AttributedString& text);

    // The bytes `from` to `to` of the text, with their attributes.
    static uikit::AttributedString slice(const uikit::AttributedString& text, std::size_t from, std::size_t to);

private:
    struct Piece {
        TextLayout::Units units;
        TextLayout::Ink ink;
        double scale = 1;
    };
    // The piece from `from` to the text's end, or to the first cut past `pieceBytes` that
    // shapes apart; none when no cut is found near there.
    std::optional<std::pair<std::size_t, Piece>> piece(const uikit::AttributedString& text, const std::string& plain,
                                                       std::size_t from);

    // Every piece measured but the last of a text, by its text and attributes and the bytes
    // after its cut.
    std::unordered_map<std::string, Piece> pieces_;
    // Most recently measured last.
    std::vector<std::pair<uikit::AttributedString, Pieces>> texts_;
};

}  // namespace render
