#pragma once

typedef struct _PangoFontMap PangoFontMap;

namespace render {

// The fonts every text is measured and drawn with: a font configuration of the program's own
// that holds only the families of uikit::Font::families(), found by the font library among the
// system's fonts (Debian's font packages), and that makes the colour emoji family the "emoji"
// family the text library asks for emoji. It is the process's current configuration from before
// the text library starts, so the desktop's configuration of every installed font is never
// loaded, and choosing a face sorts a few dozen faces instead of all of them.
// The set is read from a folder of its own in the user's cache (links to its files, with the
// font library's cache of them) while that folder is whole and none of its files has changed
// since it was made; otherwise from the system's font folders through the system's font caches,
// filtering the faces of every installed font. Without all of its families installed the
// desktop's configuration serves (logged).
class FontSet {
public:
    // The font map of every layout, with the set installed at the first call. Main thread.
    static PangoFontMap* fontMap();
    // When the set was not read from its folder, makes the folder for later starts on a thread
    // of its own (the font library reads every face of the set once to make its cache). A
    // window host calls it once its start is done.
    static void keepForLaterStarts();
    // Makes the set's folder now, on this thread; true when it holds the set.
    static bool keepFolderNow();
};

}  // namespace render
