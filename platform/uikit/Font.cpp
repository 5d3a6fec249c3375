#include "platform/uikit/Font.h"

#include <algorithm>
#include <map>

namespace uikit {

namespace {
// The display cut of the sans family for the light faces, drawn large on keys and displays; the
// text cut for the others.
const std::map<std::string, Font::Face>& faces() {
    static const std::map<std::string, Font::Face> table = {
        {"HelveticaNeue-UltraLight", {"Inter Display", 100}},
        {"HelveticaNeue-Thin", {"Inter Display", 200}},
        {"HelveticaNeue-Light", {"Inter Display", 300}},
        {"HelveticaNeue", {"Inter", 400}},
        {"HelveticaNeue-Medium", {"Inter", 500}},
        {"HelveticaNeue-Bold", {"Inter", 700}},
        {"Helvetica", {"Inter", 400}},
        {"Helvetica-Bold", {"Inter", 700}},
        {".SFUI-Regular", {"Inter", 400}},
        {"DejaVu Sans", {"DejaVu Sans", 400}},
        {"Noto Sans", {"Noto Sans", 400}},
    };
    return table;
}

struct Fallback {
    const char* family;
    // Added to the font's weight: the symbol cuts of the CJK family draw heavier strokes than
    // the sans families at the same nominal weight.
    int weightShift;
};

constexpr Fallback fallbacks[] = {
    {"Inter", 0},
    {"Noto Sans", 0},
    {"Noto Sans CJK JP", -100},
    {"Noto Sans Symbols", 0},
    {"DejaVu Sans", 0},
    {"Noto Sans Math", 0},
    {"Noto Sans Symbols2", 0},
    {"Symbola", 0},
    {"Droid Sans Fallback", 0},
};
}  // namespace

std::optional<Font> Font::named(const std::string& name, double size) {
    auto it = faces().find(name);
    if (it == faces().end()) return std::nullopt;
    return Font{name, it->second.family, it->second.weight, size};
}

Font Font::systemFont(double size) { return Font{".SFUI-Regular", "Inter", 400, size}; }

std::vector<std::string> Font::families() {
    std::vector<std::string> list;
    auto add = [&list](const std::string& family) {
        if (std::find(list.begin(), list.end(), family) == list.end()) list.push_back(family);
    };
    for (const auto& [name, face] : faces()) add(face.family);
    for (const auto& f : fallbacks) add(f.family);
    add(emojiFamily);
    return list;
}

std::vector<Font::Face> Font::fallbackFaces() const {
    std::vector<Face> list;
    for (const auto& f : fallbacks) {
        if (family == f.family) continue;
        list.push_back({f.family, std::clamp(weight + f.weightShift, 100, 900)});
    }
    return list;
}

}  // namespace uikit
