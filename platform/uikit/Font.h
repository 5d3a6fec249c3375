#pragma once

#include <optional>
#include <string>
#include <vector>

namespace uikit {

// A font by the platform's name at a fractional point size. Names map to installed families;
// glyphs missing from the family come from the fallback faces.
struct Font {
    std::string name;
    std::string family;
    int weight = 400;  // 100 thin ... 400 regular ... 700 bold
    double pointSize = 17;

    // A family at one weight.
    struct Face {
        std::string family;
        int weight = 400;
        friend bool operator==(const Face&, const Face&) = default;
    };

    // None when the name is unknown.
    static std::optional<Font> named(const std::string& name, double size);
    static Font systemFont(double size);
    // Faces tried, in order, for a character the font's own family lacks: families of wide
    // coverage at the cut that draws strokes as thick as the font's own, so that a thin caption
    // keeps thin symbols. Families with one cut only come last. (The colour emoji family is left
    // to the system's own fallback: listed, it would take over digits.)
    std::vector<Face> fallbackFaces() const;
    // The colour emoji family: the font library's own fallback draws emoji with it.
    static constexpr const char* emojiFamily = "Noto Color Emoji";
    // Every family the named fonts and their fallbacks draw with, the emoji family last: the
    // faces a program needs.
    static std::vector<std::string> families();
    friend bool operator==(const Font&, const Font&) = default;
};

}  // namespace uikit
