#pragma once

#include "platform/foundation/Lifetime.h"
#include "platform/host/X11Atoms.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _XDisplay Display;
union _XEvent;

namespace foundation {
class Timer;
}

namespace host {

class X11Connection;

// The desktop clipboard (the CLIPBOARD selection) for one window. Main thread only.
//
// Writing makes the window the selection's owner, with the time of the input being handled or,
// for a write that no input caused, the server's time now (an older time loses to the owner
// before). The window serves other clients' requests from its event loop until another client
// takes the selection: TARGETS, MULTIPLE, TIMESTAMP, UTF8_STRING, and STRING, Latin-1 with what
// it lacks written as the nearest it has ("−" as "-"). At the end (handOver) the text is handed
// to a clipboard manager, when one runs, so that it outlives the window (a refusal is logged).
//
// Reading asks the owner for UTF8_STRING (STRING when it offers no other) and takes the answer,
// whole or in pieces (INCR), up to its first largestText bytes, within one deadline of
// `patience` seconds for the whole read. fetch() is driven by the window's event loop (the
// owner's events reach handle(), the deadline is a timer of the main run loop), so the window
// goes on meanwhile; read() waits for the answer itself.
class X11Clipboard {
public:
    static constexpr std::size_t largestText = 1u << 20;
    static constexpr double patience = 2;
    // How long handOver waits for the clipboard manager at most.
    static constexpr double managerPatience = 1;

    struct Received {
        // None: the clipboard holds no text, or it could not be read.
        std::optional<std::string> text;
        // Why it could not be read; empty when it could.
        std::string failure;
    };
    using Done = std::function<void(const Received&)>;

    // `inputTime` gives the time of the input event being handled (0 between events).
    X11Clipboard(X11Connection& connection, unsigned long window, std::function<unsigned long()> inputTime);
    ~X11Clipboard();
    X11Clipboard(const X11Clipboard&) = delete;
    X11Clipboard& operator=(const X11Clipboard&) = delete;

    // Reads the clipboard; `done` hears the outcome, at once when no other program owns it.
    void fetch(Done done);
    // Reads the clipboard, waiting for the owner's answer.
    Received read();
    // Takes the clipboard with this text; false, with the reason, when the server did not give
    // it to the window.
    bool write(const std::string& text, std::string& failure);
    // Takes the events of the clipboard: requests to serve, the end of owning it, and the owner's
    // answers to a read. False for any other event.
    bool handle(const _XEvent& event);
    // While the window owns the clipboard and a clipboard manager runs, asks the manager to save
    // the text (SAVE_TARGETS) and serves it until the manager is done or managerPatience
    // passed.
    void handOver();

private:
    using Clock = std::chrono::steady_clock;
    enum class Step { idle, converting, incremental };

    std::optional<Received> withoutTransfer();
    void convert(unsigned long target);
    void notified(const _XEvent& event);
    void piece();
    void expire();
    void retireProperty();
    void finish(Received received);
    void answer(const _XEvent& request);
    bool serve(unsigned long requestor, unsigned long target, unsigned long property);
    bool serveEach(unsigned long requestor, unsigned long property);

    X11Connection& connection_;
    Display* display_;
    unsigned long window_;
    X11Atoms atoms_;
    std::function<unsigned long()> inputTime_;
    std::optional<std::string> owned_;
    unsigned long ownedSince_ = 0;
    // The read under way.
    Step step_ = Step::idle;
    unsigned long target_ = 0;
    // The property of the window the owner writes the text into; another after a read given up.
    unsigned long property_;
    unsigned retired_ = 0;
    std::string received_;
    Clock::time_point deadline_;
    std::vector<Done> waiting_;
    std::shared_ptr<foundation::Timer> timer_;
    foundation::Lifetime lifetime_;
};

}  // namespace host
