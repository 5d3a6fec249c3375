#include "platform/uikit/Font.h"

#include <map>

namespace uikit {

namespace {
struct Face {
    const char* family;
    int weight;
};

const std::map<std::string, Face>& faces() {
    static const std::map<std::string, Face> table = {
        {"HelveticaNeue-Thin", {"DejaVu Sans", 200}},
        {"HelveticaNeue-UltraLight", {"DejaVu Sans", 200}},
        {"HelveticaNeue-Light", {"DejaVu Sans", 200}},
        {"HelveticaNeue", {"Noto Sans", 400}},
        {"HelveticaNeue-Medium", {"Noto Sans", 400}},
        {"HelveticaNeue-Bold", {"Noto Sans", 700}},
        {"Helvetica", {"Noto Sans", 400}},
        {"Helvetica-Bold", {"Noto Sans", 700}},
        {".SFUI-Regular", {"Noto Sans", 400}},
        {"DejaVu Sans", {"DejaVu Sans", 400}},
        {"Noto Sans", {"Noto Sans", 400}},
    };
    return table;
}
}  // namespace

std::optional<Font> Font::named(const std::string& name, double size) {
    auto it = faces().find(name);
    if (it == faces().end()) return std::nullopt;
    return Font{name, it->second.family, it->second.weight, size};
}

Font Font::systemFont(double size) { return Font{".SFUI-Regular", "Noto Sans", 400, size}; }

const char* Font::fallbackFamilies() {
    return "Noto Sans,DejaVu Sans,Noto Sans Math,Noto Sans Symbols,Noto Sans Symbols2,Symbola,Droid Sans Fallback";
}

}  // namespace uikit
