#pragma once

#include "platform/host/X11Atoms.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

typedef struct _XDisplay Display;
union _XEvent;

namespace host {

// One connection to the X server ($DISPLAY) with the atoms the window layer uses. The server's
// complaints about a request (a requestor window gone while the clipboard answers it, shared
// memory the server cannot reach) do not end the program: they are counted, and checked()
// tells whether its requests drew one.
class X11Connection {
public:
    // Null, with the reason, when the server cannot be reached.
    static std::unique_ptr<X11Connection> open(std::string& error);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    Display* display() const { return display_; }
    const X11Atoms& atoms() const { return atoms_; }
    int screen() const;
    unsigned long root() const;
    // The server's time now: the time of the PropertyNotify that an empty append to a property
    // of `window` (which must select PropertyChangeMask) brings; CurrentTime (0) when none
    // comes within a second. Other events stay queued.
    unsigned long serverTime(unsigned long window);
    // Whether an event is the one waited for (XCheckIfEvent's test).
    using EventTest = int (*)(Display*, _XEvent*, char*);
    // Takes the first event that `wanted` picks (the others stay queued), waiting for it until
    // the deadline at most: false when none came by then.
    bool nextEvent(_XEvent& event, EventTest wanted, void* argument, std::chrono::steady_clock::time_point deadline);
    // Makes the requests and waits for the server to have handled them: false when one of them
    // failed.
    bool checked(const std::function<void()>& requests);

private:
    explicit X11Connection(Display* display) : display_(display) {}

    Display* display_;
    X11Atoms atoms_;
};

}  // namespace host
