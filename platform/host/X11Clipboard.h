#pragma once

#include "platform/host/X11Atoms.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

typedef struct _XDisplay Display;
union _XEvent;

namespace host {

// The desktop clipboard (the CLIPBOARD selection) for one window. Writing makes the window the
// selection's owner, and it serves other clients' requests (TARGETS, UTF8_STRING, STRING) from
// the window's event loop until another client takes the selection. Reading asks the owner for
// UTF8_STRING (STRING when it offers no other) and takes the answer, whole or in pieces (INCR),
// waiting at most `patience` seconds for each answer (the window's other events wait meanwhile)
// and reading no more than largestText bytes. Main thread only.
class X11Clipboard {
public:
    static constexpr std::size_t largestText = 1u << 20;
    static constexpr double patience = 1.0;

    // `time` gives the time of the last user input (the selection's timestamps).
    X11Clipboard(Display* display, unsigned long window, const X11Atoms& atoms, std::function<unsigned long()> time);

    // The clipboard's text; none when it holds none, its owner did not answer in time, or the
    // text is too large (logged).
    std::optional<std::string> read();
    // Takes the clipboard with this text (logged when the server refuses).
    void write(const std::string& text);
    // Serves a SelectionRequest or notes a SelectionClear; false for any other event.
    bool handle(const _XEvent& event);

private:
    enum class Outcome { text, refused, failed };
    Outcome transfer(unsigned long target, std::string& text);
    Outcome incremental(std::string& text);
    bool waitFor(int type, unsigned long atom, _XEvent& event);
    void answer(const _XEvent& request);

    Display* display_;
    unsigned long window_;
    X11Atoms atoms_;
    std::function<unsigned long()> time_;
    std::optional<std::string> owned_;
    unsigned long ownedSince_ = 0;
};

}  // namespace host
