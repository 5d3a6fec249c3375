#include "platform/render/FontSet.h"

#include "platform/foundation/Log.h"
#include "platform/uikit/Font.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <thread>
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

// The set's own folder: links to the files of the set's faces, kept between starts in the
// user's cache. The font library keeps one small cache of it, where the system's folders have
// it filter the caches of every installed font (3 MB of them) at every start.
std::filesystem::path linkFolder() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && *cache == '/')
        return std::filesystem::path(cache) / "ostrelo" / "fonts";
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/')
        return std::filesystem::path(home) / ".cache" / "ostrelo" / "fonts";
    return {};
}

std::string configurationText(const std::vector<std::string>& folders) {
    std::string text = "<fontconfig>";
    for (const auto& folder : folders) text += "<dir>" + folder + "</dir>";
    // The user's cache first: a cache is written to the first that can be written.
    text += "<cachedir prefix=\"xdg\">fontconfig</cachedir><cachedir>/var/cache/fontconfig</cachedir>";
    // Every face is refused but those of the families the programs draw with, and of those the
    // condensed cuts too (their files say so): nothing is drawn narrower than a family's normal
    // width, and every choice of a face sorts every face of the set.
    text += "<selectfont><acceptfont>";
    for (const auto& family : uikit::Font::families())
        text += "<pattern><patelt name=\"family\"><string>" + family + "</string></patelt></pattern>";
    text += "</acceptfont><rejectfont><glob>*Condensed*</glob><pattern/></rejectfont></selectfont>";
    text += std::string("<alias binding=\"same\"><family>emoji</family><prefer><family>") + uikit::Font::emojiFamily +
            "</family></prefer></alias>";
    return text + drawingSettings() + "</fontconfig>";
}

// Whether the configuration has a face of every family.
bool complete(FcConfig* config) {
    const FcFontSet* faces = FcConfigGetFonts(config, FcSetSystem);
    if (faces == nullptr) return false;
    std::set<std::string> found;
    for (int i = 0; i < faces->nfont; ++i) {
        FcChar8* name = nullptr;
        for (int n = 0; FcPatternGetString(faces->fonts[i], FC_FAMILY, n, &name) == FcResultMatch; ++n)
            found.insert(reinterpret_cast<const char*>(name));
    }
    const auto families = uikit::Font::families();
    return std::all_of(families.begin(), families.end(), [&](const std::string& f) { return found.count(f) != 0; });
}

// The set read from `folders`, or null when it cannot be made or lacks a family. With
// `cachedOnly`, also null when the font library has no cache of the folders (it would read
// every face to make one).
FcConfig* makeConfiguration(const std::vector<std::string>& folders, bool cachedOnly) {
    FcConfig* config = FcConfigCreate();
    const std::string text = configurationText(folders);
    bool ok = config != nullptr && FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(text.c_str()), FcTrue);
    for (const auto& folder : folders) {
        if (!ok || !cachedOnly) break;
        FcCache* cache = FcDirCacheLoad(reinterpret_cast<const FcChar8*>(folder.c_str()), config, nullptr);
        ok = cache != nullptr;
        if (cache != nullptr) FcDirCacheUnload(cache);
    }
    ok = ok && FcConfigBuildFonts(config) && complete(config);
    if (!ok && config != nullptr) FcConfigDestroy(config);
    return ok ? config : nullptr;
}

// Whether the folder holds links to existing files, none of them nor their folders changed
// since the links were made. Change times, not modification times: a package keeps its files'
// modification times, an installation changes their change times (and a folder's, when a
// file is added or removed).
bool current(const std::filesystem::path& folder) {
    struct stat own {};
    if (folder.empty() || ::stat(folder.c_str(), &own) != 0) return false;
    const auto newer = [&own](const std::filesystem::path& path) {
        struct stat status {};
        return ::stat(path.c_str(), &status) != 0 || status.st_ctime > own.st_ctime;
    };
    std::error_code error;
    std::set<std::filesystem::path> packageFolders;
    std::size_t links = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (newer(entry.path())) return false;
        packageFolders.insert(std::filesystem::read_symlink(entry.path(), error).parent_path());
        ++links;
    }
    return !error && links > 0 && std::none_of(packageFolders.begin(), packageFolders.end(), newer);
}

// The files of the set's faces, each once.
std::vector<std::string> filesOf(FcConfig* config) {
    std::set<std::string> files;
    if (const FcFontSet* faces = FcConfigGetFonts(config, FcSetSystem); faces != nullptr) {
        for (int i = 0; i < faces->nfont; ++i) {
            FcChar8* file = nullptr;
            if (FcPatternGetString(faces->fonts[i], FC_FILE, 0, &file) == FcResultMatch)
                files.insert(reinterpret_cast<const char*>(file));
        }
    }
    return {files.begin(), files.end()};
}

// Makes the folder anew with links to `files`, and the font library's cache of it.
bool keepFolder(const std::filesystem::path& folder, const std::vector<std::string>& files) {
    if (folder.empty() || files.empty()) return false;
    std::error_code error;
    const auto made = folder.parent_path() / ("fonts-" + std::to_string(::getpid()));
    std::filesystem::remove_all(made, error);
    std::filesystem::create_directories(made, error);
    for (std::size_t i = 0; i < files.size() && !error; ++i) {
        const std::filesystem::path file = files[i];
        std::filesystem::create_symlink(file, made / (std::to_string(i) + "-" + file.filename().string()), error);
    }
    if (!error) {
        std::filesystem::remove_all(folder, error);
        std::filesystem::rename(made, folder, error);
    }
    if (error) {
        std::filesystem::remove_all(made, error);
        return false;
    }
    FcConfig* config = makeConfiguration({folder.string()}, false);
    if (config != nullptr) FcConfigDestroy(config);
    return config != nullptr;
}

// The set in use and whether later starts need its folder.
struct Made {
    PangoFontMap* map = nullptr;
    FcConfig* config = nullptr;
    bool folderWanted = false;
};

Made makeFontMap() {
    Made made;
    const auto folder = linkFolder();
    if (current(folder)) made.config = makeConfiguration({folder.string()}, true);
    if (made.config == nullptr) {
        made.config = makeConfiguration({std::begin(fontFolders), std::end(fontFolders)}, false);
        made.folderWanted = made.config != nullptr && !folder.empty();
    }
    if (made.config != nullptr) FcConfigSetCurrent(made.config);
    else foundation::Log::warning("fonts: the program's font families are not all installed; every installed font is used");
    made.map = pango_cairo_font_map_get_default();
    if (made.config != nullptr && PANGO_IS_FC_FONT_MAP(made.map))
        pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(made.map), made.config);
    return made;
}

Made& set() {
    static Made made = makeFontMap();
    return made;
}

}  // namespace

PangoFontMap* FontSet::fontMap() { return set().map; }

void FontSet::keepForLaterStarts() {
    if (!set().folderWanted) return;
    set().folderWanted = false;
    std::thread([folder = linkFolder(), files = filesOf(set().config)] { keepFolder(folder, files); }).detach();
}

bool FontSet::keepFolderNow() { return keepFolder(linkFolder(), filesOf(set().config)); }

}  // namespace render
