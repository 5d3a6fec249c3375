#pragma once

#include "platform/uikit/Font.h"

#include <string>
#include <vector>

namespace render {

// Chooses, character by character, the installed face that draws a text in a font: the font's
// own face; else a stand-in for the character in that face (the plain letter in italics for a
// mathematical italic letter, a like arrow for one the face lacks); else the first of the font's
// fallback faces that has the character. Emoji, and characters no face has, are left to the
// font library's own fallback, which draws emoji in colour.
class FaceChooser {
public:
    struct Piece {
        std::string text;  // UTF-8, as it is to be drawn
        // One family, or a list (comma-separated) for the font library to choose from.
        std::string families;
        int weight = 400;
        bool italic = false;
        friend bool operator==(const Piece&, const Piece&) = default;
    };

    // `text` (UTF-8) in pieces of one face each, in order.
    static std::vector<Piece> split(const std::string& text, const uikit::Font& font);
    // The stand-in drawn for a character the font's face lacks (0: none), and whether it is
    // drawn in italics.
    static char32_t standIn(char32_t c, bool& italic);
};

}  // namespace render
