// The programs' own font set: it holds the faces of every family the fonts name, and nothing
// else, and every character that a scene or a program's text can show has a face in it.
#include "platform/foundation/Characters.h"
#include "platform/render/FontSet.h"
#include "platform/render/TextLayout.h"
#include "platform/uikit/AttributedString.h"
#include "platform/uikit/Font.h"
#include "tests/support/TestEnvironment.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

// The characters of a string literal's or a scene value's text: UTF-8 and \u, \U escapes.
void addCharacters(const std::string& text, std::set<char32_t>& characters) {
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\\' && i + 1 < text.size() && (text[i + 1] == 'u' || text[i + 1] == 'U')) {
            const std::size_t digits = text[i + 1] == 'u' ? 4 : 8;
            characters.insert(static_cast<char32_t>(std::stoul(text.substr(i + 2, digits), nullptr, 16)));
            i += 2 + digits;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = foundation::Characters::decodeUtf8(text, i, c);
        if (length > 0) characters.insert(c);
        i += std::max<std::size_t>(length, 1);
    }
}

// Every character quoted in the scene files and in the programs' sources (comment lines aside).
std::set<char32_t> shownCharacters() {
    const std::regex quoted(R"re("((?:[^"\\]|\\.)*)")re");
    std::set<char32_t> characters;
    for (const char* folder : {"app", "ui", "engine", "OstreloMessage", "today", "keyboard", "platform/host", "platform/uikit"}) {
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            const std::string extension = entry.path().extension().string();
            const bool scene = entry.path().parent_path().filename() == "storyboards";
            if (!scene && extension != ".cpp" && extension != ".h") continue;
            std::ifstream file(entry.path());
            std::string line;
            while (std::getline(file, line)) {
                const auto start = line.find_first_not_of(" \t");
                if (start != std::string::npos && (line.compare(start, 2, "//") == 0 || line[start] == '#')) continue;
                for (std::sregex_iterator it(line.begin(), line.end(), quoted), end; it != end; ++it)
                    addCharacters((*it)[1].str(), characters);
            }
        }
    }
    return characters;
}

}  // namespace

TEST(FontSetTest, HoldsEveryFamilyOfTheFontsAndNoOther) {
    render::FontSet::fontMap();
    const FcFontSet* faces = FcConfigGetFonts(FcConfigGetCurrent(), FcSetSystem);
    ASSERT_NE(faces, nullptr);
    const auto families = uikit::Font::families();
    std::set<std::string> found;
    for (int i = 0; i < faces->nfont; ++i) {
        bool known = false;
        FcChar8* name = nullptr;
        for (int n = 0; FcPatternGetString(faces->fonts[i], FC_FAMILY, n, &name) == FcResultMatch; ++n) {
            if (std::find(families.begin(), families.end(), reinterpret_cast<const char*>(name)) == families.end()) continue;
            found.insert(reinterpret_cast<const char*>(name));
            known = true;
        }
        FcChar8* file = nullptr;
        FcPatternGetString(faces->fonts[i], FC_FILE, 0, &file);
        EXPECT_TRUE(known) << "a face of no family of the fonts: " << file;
    }
    for (const auto& family : families) EXPECT_EQ(found.count(family), 1u) << "not installed: " << family;
}

TEST(FontSetTest, EveryCharacterTheProgramsShowHasAFace) {
    const auto characters = shownCharacters();
    ASSERT_GT(characters.size(), 100u);  // the search found the sources (tests run in the source tree)
    for (const char* font : {"HelveticaNeue-Thin", "HelveticaNeue"}) {
        uikit::TextAttributes attributes;
        attributes.font = uikit::Font::named(font, 30);
        for (char32_t c : characters) {
            const auto type = u_charType(static_cast<UChar32>(c));
            if (type == U_CONTROL_CHAR || type == U_FORMAT_CHAR || c == U'\uFE0F' || c == U' ') continue;
            std::string text;
            foundation::Characters::appendUtf8(text, c);
            render::TextLayout layout(uikit::AttributedString(text, attributes));
            EXPECT_EQ(layout.unknownGlyphsCount(), 0) << "U+" << std::hex << static_cast<unsigned>(c) << " in " << font;
        }
    }
}

// A later start reads the set from the folder kept in the user's cache: links to the set's files
// and the font library's cache of them.
TEST(FontSetTest, TheFolderKeptForLaterStartsLinksTheSetsFilesWithTheirCache) {
    const auto cache = testsupport::makeTemporaryDirectory("ostrelo-font-cache");
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    render::FontSet::fontMap();
    ASSERT_TRUE(render::FontSet::keepFolderNow());
    const auto folder = cache / "ostrelo" / "fonts";
    std::set<fs::path> linked, used;
    for (const auto& entry : fs::directory_iterator(folder)) linked.insert(fs::canonical(entry.path()));
    const FcFontSet* faces = FcConfigGetFonts(FcConfigGetCurrent(), FcSetSystem);
    for (int i = 0; i < faces->nfont; ++i) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(faces->fonts[i], FC_FILE, 0, &file) == FcResultMatch)
            used.insert(fs::canonical(reinterpret_cast<const char*>(file)));
    }
    EXPECT_EQ(linked, used);
    FcCache* kept = FcDirCacheLoad(reinterpret_cast<const FcChar8*>(folder.c_str()), FcConfigGetCurrent(), nullptr);
    EXPECT_NE(kept, nullptr);
    if (kept != nullptr) FcDirCacheUnload(kept);
    fs::remove_all(cache);
}
