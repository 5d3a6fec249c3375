#include "platform/host/X11Connection.h"

#include <X11/Xlib.h>

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

bool X11Connection::checked(const std::function<void()>& requests) {
    XSync(display_, False);
    const unsigned long before = failedRequests;
    requests();
    XSync(display_, False);
    return failedRequests == before;
}

}  // namespace host
