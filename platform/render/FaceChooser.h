#pragma once

#include "platform/uikit/Font.h"

#include <string>
#include <vector>

namespace render {

// Chooses, character by character, the installed face that draws a text in a font: the font's
// own face; else a stand-in for the character in that face (the plain letter in italics for a
// mathematical italic letter, the letters of a squared abbreviation, the slash for the division
// slash, a like arrow for the return arrow); else the first of the font's fallback faces that
// has the character. Emoji, and characters no face has, are left to the font library's own
// fallback, which draws emoji in colour.
class FaceChooser {
public:
    struct Piece {
        std::string text;  // UTF-8, as it is to be drawn
        // One family, or a list (comma-separated) for the font library to choose from.
        std::string families;
        int weight = 400;
        bool italic = false;
    };

    // `text` (UTF-8) in pieces of one face each, in order.
    static std::vector<Piece> split(const std::string& text, const uikit::Font& font);
};

}  // namespace render
