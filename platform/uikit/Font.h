#pragma once

#include <optional>
#include <string>

namespace uikit {

// A font by the platform's name at a fractional point size. Names map to installed families;
// glyphs missing from the family come from the fallback families.
struct Font {
    std::string name;
    std::string family;
    int weight = 400;  // 100 thin ... 400 regular ... 700 bold
    double pointSize = 17;

    // None when the name is unknown.
    static std::optional<Font> named(const std::string& name, double size);
    static Font systemFont(double size);
    // Families tried, in order, for glyphs the font itself lacks (the colour emoji family is
    // left to the system's own fallback: listed, it would take over digits).
    static const char* fallbackFamilies();
    friend bool operator==(const Font&, const Font&) = default;
};

}  // namespace uikit
