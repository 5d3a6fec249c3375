#include "platform/host/X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <atomic>

namespace host {

namespace {

std::atomic<unsigned long> failedRequests{0};

int countError(Display*, XErrorEvent*) {
    ++failedRequests;
    return 0;
}

}  // namespace

std::unique_ptr<X11Connection> X11Connection::open(std::string& error) {
    const char* name = XDisplayName(nullptr);
    if (name == nullptr || *name == '\0') {
        error = "no display (DISPLAY is not set)";
        return nullptr;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        error = std::string("cannot open display \"") + name + "\"";
        return nullptr;
    }
    XSetErrorHandler(countError);
    std::unique_ptr<X11Connection> connection(new X11Connection(display));
    if (!connection->atoms_.intern(display)) {
        error = std::string("the display \"") + name + "\" does not answer";
        return nullptr;
    }
    return connection;
}

X11Connection::~X11Connection() { XCloseDisplay(display_); }

int X11Connection::screen() const { return DefaultScreen(display_); }

unsigned long X11Connection::root() const { return RootWindow(display_, screen()); }

unsigned long X11Connection::serverTime(unsigned long window) {
    const unsigned char nothing = 0;
    XChangeProperty(display_, window, atoms_.serverTime, XA_INTEGER, 8, PropModeAppend, &nothing, 0);
    XFlush(display_);
    struct Wanted {
        Window window;
        Atom atom;
    } wanted{window, atoms_.serverTime};
    const auto matches = [](Display*, XEvent* event, XPointer argument) -> Bool {
        const auto* w = reinterpret_cast<const Wanted*>(argument);
        return event->type == PropertyNotify && event->xproperty.window == w->window && event->xproperty.atom == w->atom;
    };
    XEvent event;
    if (!nextEvent(event, matches, &wanted, std::chrono::steady_clock::now() + std::chrono::seconds(1))) return CurrentTime;
    return event.xproperty.time;
}

bool X11Connection::nextEvent(XEvent& event, EventTest wanted, void* argument,
                              std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        if (XCheckIfEvent(display_, &event, wanted, static_cast<XPointer>(argument))) return true;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) return false;
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(left) + 1);
    }
}

bool X11Connection::checked(const std::function<void()>& requests) {
    XSync(display_, False);
    const unsigned long before = failedRequests;
    requests();
    XSync(display_, False);
    return failedRequests == before;
}

}  // namespace host
