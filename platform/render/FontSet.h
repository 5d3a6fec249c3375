#pragma once

typedef struct _PangoFontMap PangoFontMap;

namespace render {

// The fonts every text is measured and drawn with: a font configuration of the program's own
// that holds only the families of uikit::Font::families(), found by the font library among the
// system's fonts (Debian's font packages) through the system's font caches, and that makes the
// colour emoji family the "emoji" family the text library asks for emoji. It is the process's
// current configuration from before the text library starts, so the desktop's configuration of
// every installed font is never loaded, and choosing a face sorts a few dozen faces instead of
// all of them. Without any of its families installed the desktop's configuration serves (logged).
class FontSet {
public:
    // The font map of every layout, with the set installed at the first call. Main thread.
    static PangoFontMap* fontMap();
};

}  // namespace render
