#include "platform/render/FaceChooser.h"

#include "platform/foundation/Characters.h"
#include "platform/render/FontSet.h"

#include <pango/pangocairo.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>

namespace render {

namespace {

PangoContext* coverageContext() {
    static PangoContext* context = pango_font_map_create_context(FontSet::fontMap());
    return context;
}

// The installed face of a family at the cut nearest a weight; null when the family is not
// installed (the font library would substitute another). Loaded once.
PangoFont* loadFace(const std::string& family, int weight, bool italic) {
    static std::map<std::tuple<std::string, int, bool>, PangoFont*> loaded;
    const auto key = std::make_tuple(family, weight, italic);
    if (auto it = loaded.find(key); it != loaded.end()) return it->second;
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, family.c_str());
    pango_font_description_set_weight(description, static_cast<PangoWeight>(weight));
    pango_font_description_set_style(description, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(description, 20 * PANGO_SCALE);
    PangoFont* font = pango_font_map_load_font(FontSet::fontMap(), coverageContext(), description);
    pango_font_description_free(description);
    if (font != nullptr) {
        PangoFontDescription* found = pango_font_describe(font);
        const char* name = pango_font_description_get_family(found);
        const bool installed = name != nullptr && g_ascii_strcasecmp(name, family.c_str()) == 0;
        pango_font_description_free(found);
        if (!installed) {
            g_object_unref(font);
            font = nullptr;
        }
    }
    loaded.emplace(key, font);
    return font;
}

bool hasChar(PangoFont* font, char32_t c) { return font != nullptr && pango_font_has_char(font, c); }

// Emoji are drawn by the font library's own choice (a colour face), with their selectors and
// joiners.
bool emoji(char32_t c, char32_t next) {
    const auto u = static_cast<UChar32>(c);
    return u_hasBinaryProperty(u, UCHAR_EMOJI_PRESENTATION) || u_hasBinaryProperty(u, UCHAR_EMOJI_MODIFIER) ||
           c == 0x200D || (c >= 0xFE00 && c <= 0xFE0F) || next == 0xFE0F;
}

// The stand-in drawn for a character a face lacks (empty: none), and whether it is drawn in
// italics.
std::u32string standIn(char32_t c, bool& italic) {
    italic = true;
    if (c >= 0x1D434 && c <= 0x1D44D) return {U'A' + (c - 0x1D434)};  // mathematical italic capitals
    if (c >= 0x1D44E && c <= 0x1D467) return {U'a' + (c - 0x1D44E)};  // and small letters
    if (c >= 0x1D6E2 && c <= 0x1D6FA) return {c == 0x1D6F3 ? U'\u03F4' : U'\u0391' + (c - 0x1D6E2)};  // Greek
    if (c >= 0x1D6FC && c <= 0x1D714) return {U'\u03B1' + (c - 0x1D6FC)};
    static const std::map<char32_t, char32_t> greekSymbols = {
        {0x1D715, U'\u2202'}, {0x1D716, U'\u03F5'}, {0x1D717, U'\u03D1'}, {0x1D718, U'\u03F0'},
        {0x1D719, U'\u03D5'}, {0x1D71A, U'\u03F1'}, {0x1D71B, U'\u03D6'},
    };
    if (auto it = greekSymbols.find(c); it != greekSymbols.end()) return {it->second};
    italic = false;
    static const std::map<char32_t, std::u32string> upright = {
        {0x2B90, U"\u21B5"},  // the return arrow: the downward arrow with a corner
        {0x2215, U"/"},        // the division slash: the slash
        {0x33D1, U"ln"},       // the squared abbreviations: their letters
        {0x33D2, U"log"},
    };
    if (auto it = upright.find(c); it != upright.end()) return it->second;
    return {};
}

constexpr int ownFace = -1;
constexpr int libraryFace = -2;

struct Choice {
    int face = ownFace;   // an index of the fallback faces, or one of the two above
    std::u32string drawn;  // a stand-in, or empty: the character itself
    bool italic = false;
};

// A font's faces and the choices made for it so far.
struct FontFaces {
    std::string family;
    int weight = 400;
    std::vector<uikit::Font::Face> fallbacks;
    std::string allFamilies;
    std::unordered_map<char32_t, Choice> choices;

    Choice choose(char32_t c) {
        if (hasChar(loadFace(family, weight, false), c)) return {ownFace, {}, false};
        bool italic = false;
        const std::u32string other = standIn(c, italic);
        PangoFont* face = other.empty() ? nullptr : loadFace(family, weight, italic);
        if (face != nullptr && std::all_of(other.begin(), other.end(), [&](char32_t o) { return hasChar(face, o); }))
            return {ownFace, other, italic};
        for (std::size_t i = 0; i < fallbacks.size(); ++i)
            if (hasChar(loadFace(fallbacks[i].family, fallbacks[i].weight, false), c))
                return {static_cast<int>(i), {}, false};
        return {libraryFace, {}, false};
    }
};

FontFaces& facesOf(const uikit::Font& font) {
    static std::map<std::pair<std::string, int>, FontFaces> known;
    auto [it, added] = known.try_emplace({font.family, font.weight});
    FontFaces& faces = it->second;
    if (added) {
        faces.family = font.family;
        faces.weight = font.weight;
        faces.fallbacks = font.fallbackFaces();
        faces.allFamilies = font.family;
        for (const auto& face : faces.fallbacks) faces.allFamilies += "," + face.family;
    }
    return faces;
}

// The character at `at` (U+FFFD for a malformed sequence) and the offset after it.
char32_t decode(const std::string& text, std::size_t at, std::size_t& next) {
    const char* start = text.data() + at;
    const gunichar c = g_utf8_get_char_validated(start, static_cast<gssize>(text.size() - at));
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
        next = at + 1;
        return 0xFFFD;
    }
    next = static_cast<std::size_t>(g_utf8_next_char(start) - text.data());
    return c;
}

}  // namespace

std::vector<FaceChooser::Piece> FaceChooser::split(const std::string& text, const uikit::Font& font) {
    FontFaces& faces = facesOf(font);
    std::vector<Piece> pieces;
    std::size_t at = 0;
    std::size_t next = 0;
    char32_t c = at < text.size() ? decode(text, at, next) : 0;
    while (at < text.size()) {
        std::size_t after = next;
        const char32_t following = after < text.size() ? decode(text, after, after) : 0;
        Choice choice;
        if (emoji(c, following)) {
            choice = {libraryFace, {}, false};
        } else {
            auto found = faces.choices.find(c);
            if (found == faces.choices.end()) found = faces.choices.emplace(c, faces.choose(c)).first;
            choice = found->second;
        }
        Piece piece;
        piece.families = choice.face == ownFace       ? faces.family
                         : choice.face == libraryFace ? faces.allFamilies
                                                      : faces.fallbacks[static_cast<std::size_t>(choice.face)].family;
        piece.weight = choice.face >= 0 ? faces.fallbacks[static_cast<std::size_t>(choice.face)].weight : faces.weight;
        piece.italic = choice.italic;
        if (pieces.empty() || pieces.back().families != piece.families || pieces.back().weight != piece.weight ||
            pieces.back().italic != piece.italic)
            pieces.push_back(std::move(piece));
        if (!choice.drawn.empty()) {
            for (char32_t d : choice.drawn) foundation::Characters::appendUtf8(pieces.back().text, d);
        } else if (c == 0xFFFD) {
            foundation::Characters::appendUtf8(pieces.back().text, c);  // also for a malformed sequence
        } else {
            pieces.back().text.append(text, at, next - at);
        }
        at = next;
        next = after;
        c = following;
    }
    return pieces;
}

}  // namespace render
