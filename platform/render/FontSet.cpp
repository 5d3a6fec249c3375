#include "platform/render/FontSet.h"

#include "platform/foundation/Log.h"
#include "platform/uikit/Font.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace render {

namespace {

// Where Debian installs fonts, and where the font caches of those folders are kept.
constexpr const char* fontFolders[] = {"/usr/share/fonts", "/usr/local/share/fonts"};
// The desktop's font settings: by their numbering, 00-29 say how faces are drawn (smoothing,
// hinting, bitmap faces scaled to size) and 90-99 make the faces a family lacks (a slanted
// italic, a bold); the others name and choose families, which the set does itself.
constexpr const char* settingsFolder = "/etc/fonts/conf.d";

bool drawingSetting(const std::string& name) {
    if (name.size() < 8 || !std::isdigit(static_cast<unsigned char>(name[0])) ||
        !std::isdigit(static_cast<unsigned char>(name[1])) || !name.ends_with(".conf"))
        return false;
    const int number = (name[0] - '0') * 10 + (name[1] - '0');
    return number < 30 || number >= 90;
}

std::string drawingSettings() {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(settingsFolder, error))
        if (drawingSetting(entry.path().filename().string())) files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    std::string text;
    for (const auto& file : files) text += "<include ignore_missing=\"yes\">" + file + "</include>";
    return text;
}

std::string configurationText() {
    std::string text = "<fontconfig>";
    for (const char* folder : fontFolders) text += std::string("<dir>") + folder + "</dir>";
    text += "<cachedir>/var/cache/fontconfig</cachedir><cachedir prefix=\"xdg\">fontconfig</cachedir>";
    // Every face is refused but those of the families the programs draw with.
    text += "<selectfont><acceptfont>";
    for (const auto& family : uikit::Font::families())
        text += "<pattern><patelt name=\"family\"><string>" + family + "</string></patelt></pattern>";
    text += "</acceptfont><rejectfont><pattern/></rejectfont></selectfont>";
    text += std::string("<alias binding=\"same\"><family>emoji</family><prefer><family>") + uikit::Font::emojiFamily +
            "</family></prefer></alias>";
    return text + drawingSettings() + "</fontconfig>";
}

// The set as a configuration, or null when it cannot be made or holds no face.
FcConfig* makeConfiguration() {
    FcConfig* config = FcConfigCreate();
    const std::string text = configurationText();
    if (config == nullptr || !FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(text.c_str()), FcTrue) ||
        !FcConfigBuildFonts(config)) {
        foundation::Log::warning("fonts: the program's font set cannot be made; every installed font is used");
        if (config != nullptr) FcConfigDestroy(config);
        return nullptr;
    }
    const FcFontSet* faces = FcConfigGetFonts(config, FcSetSystem);
    if (faces == nullptr || faces->nfont == 0) {
        foundation::Log::warning("fonts: none of the program's font families is installed; every installed font is used");
        FcConfigDestroy(config);
        return nullptr;
    }
    return config;
}

PangoFontMap* makeFontMap() {
    FcConfig* config = makeConfiguration();
    if (config != nullptr) FcConfigSetCurrent(config);
    PangoFontMap* map = pango_cairo_font_map_get_default();
    if (config != nullptr && PANGO_IS_FC_FONT_MAP(map)) pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(map), config);
    return map;
}

}  // namespace

PangoFontMap* FontSet::fontMap() {
    static PangoFontMap* map = makeFontMap();
    return map;
}

}  // namespace render
