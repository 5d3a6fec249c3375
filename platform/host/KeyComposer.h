#pragma once

#include <memory>
#include <string>

struct xkb_compose_state;

namespace host {

class XkbCommonLibrary;

// Dead keys and Compose sequences: the keysyms of key presses go through the compose table in
// order, and a sequence of the table makes its text (dead acute then "e" makes "é", Compose "x"
// "x" makes "×"). The table is libxkbcommon's for the user: $XCOMPOSEFILE, ~/.XCompose or the
// locale's ($LC_ALL, $LC_CTYPE, $LANG; the C locale's is the US English one).
class KeyComposer {
public:
    enum class Step {
        passed,     // the keysym is no part of a sequence: it types its own text
        composing,  // a sequence goes on
        composed,   // a sequence ended: its text
        cancelled,  // the keysym broke a sequence off: it types nothing
    };

    // Null, with the reason, when the table cannot be loaded.
    static std::unique_ptr<KeyComposer> open(const XkbCommonLibrary& xkb, std::string& error);
    // Whether sequences of the usual tables begin with the keysym: a dead key or Compose.
    static bool begins(unsigned long keysym);
    ~KeyComposer();
    KeyComposer(const KeyComposer&) = delete;
    KeyComposer& operator=(const KeyComposer&) = delete;

    // One press's keysym (modifier keys pass); a composed sequence's text in `text`.
    Step feed(unsigned long keysym, std::string& text);
    // Forgets a sequence under way.
    void reset();

private:
    KeyComposer(const XkbCommonLibrary& xkb, xkb_compose_state* state) : xkb_(xkb), state_(state) {}

    const XkbCommonLibrary& xkb_;
    xkb_compose_state* state_;
};

}  // namespace host
