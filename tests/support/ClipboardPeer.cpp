#include "tests/support/ClipboardPeer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>
#include <utility>

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;

// A requestor that went away meanwhile is no failure of the test.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

void reply(Display* display, const XSelectionRequestEvent& request, Atom property) {
    XEvent event{};
    event.xselection = {SelectionNotify, 0,           True, display, request.requestor, request.selection, request.target,
                        property,        request.time};
    XSendEvent(display, request.requestor, False, NoEventMask, &event);
    XFlush(display);
}

void put(Display* display, Window window, Atom property, Atom type, const std::string& text) {
    XChangeProperty(display, window, property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
}

std::optional<std::string> take(Display* display, Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<std::string> text;
    if (XGetWindowProperty(display, window, property, 0, 1 << 22, True, AnyPropertyType, &type, &format, &items, &after,
                           &data) == Success &&
        format == 8)
        text = std::string(reinterpret_cast<const char*>(data), items);
    if (data != nullptr) XFree(data);
    return text;
}

void waitForEvents(Display* display, int milliseconds) {
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, milliseconds);
}

// The pieces of a slow owner's text under way, and what the reader's window showed when asked.
struct Pieces {
    Window requestor;
    Atom property;
    std::string picture;
    bool drawn = false;
    std::size_t sent = 0;
    Clock::time_point due = Clock::time_point::max();
};

}  // namespace

ClipboardPeer::ClipboardPeer(const std::string& display, Role role, std::string text)
    : role_(role), text_(std::move(text)) {
    XSetErrorHandler(ignoreErrors);
    thread_ = std::thread([this, display] { serve(display); });
}

ClipboardPeer::~ClipboardPeer() {
    stop_ = true;
    thread_.join();
}

void ClipboardPeer::serve(const std::string& name) {
    Display* display = XOpenDisplay(name.c_str());
    if (display == nullptr) return;
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display, window, PropertyChangeMask);
    const auto atom = [display](const char* atomName) { return XInternAtom(display, atomName, False); };
    const Atom clipboard = atom("CLIPBOARD"), manager = atom("CLIPBOARD_MANAGER"), targets = atom("TARGETS"),
               utf8 = atom("UTF8_STRING"), incr = atom("INCR"), save = atom("SAVE_TARGETS"), saved = atom("PEER_SAVED");
    const auto own = [&](Atom selection) {
        XSetSelectionOwner(display, selection, window, CurrentTime);
        owning_ = XGetSelectionOwner(display, selection) == window;
    };
    own(role_ == Role::manager ? manager : clipboard);
    std::optional<XSelectionRequestEvent> saving;
    std::optional<Pieces> pieces;
    while (!stop_) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == SelectionRequest) {
                const XSelectionRequestEvent& request = event.xselectionrequest;
                const bool text = request.selection == clipboard && request.target == utf8;
                if (request.selection == manager && request.target == save) {
                    saving = request;
                    XConvertSelection(display, clipboard, utf8, saved, window, CurrentTime);
                } else if (request.selection == clipboard && request.target == targets) {
                    const Atom offered[] = {targets, utf8};
                    XChangeProperty(display, request.requestor, request.property, XA_ATOM, 32, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(offered), 2);
                    reply(display, request, request.property);
                } else if (text && role_ == Role::slowOwner) {
                    pieces = Pieces{request.requestor, request.property, pictureOf(display, request.requestor)};
                    asked_ = true;
                    XSelectInput(display, request.requestor, PropertyChangeMask);
                    const long size = static_cast<long>(text_.size());
                    XChangeProperty(display, request.requestor, request.property, incr, 32, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(&size), 1);
                    reply(display, request, request.property);
                } else if (text) {
                    if (role_ == Role::owner) asked_ = true;
                    put(display, request.requestor, request.property, utf8, text_);
                    reply(display, request, request.property);
                } else {
                    reply(display, request, None);
                }
            } else if (event.type == SelectionNotify && saving) {
                if (auto text = take(display, window, saved)) text_ = *text;
                reply(display, *saving, saving->property);
                saving.reset();
                own(clipboard);
                asked_ = true;
            } else if (event.type == PropertyNotify && pieces && event.xproperty.window == pieces->requestor &&
                       event.xproperty.atom == pieces->property && event.xproperty.state == PropertyDelete) {
                // A piece taken after the window was seen drawn anew: it was drawn during the read.
                if (pieces->drawn) drewWhileReading_ = true;
                if (!pieces->drawn) pieces->drawn = pictureOf(display, pieces->requestor) != pieces->picture;
                pieces->due = Clock::now() + std::chrono::milliseconds(100);
            }
        }
        if (pieces && pieces->due <= Clock::now()) {
            const bool last = pieces->sent == text_.size();
            put(display, pieces->requestor, pieces->property, utf8, last ? "" : text_.substr(pieces->sent++, 1));
            XFlush(display);
            pieces->due = Clock::time_point::max();
            if (last) pieces.reset();
        }
        waitForEvents(display, 20);
    }
    XCloseDisplay(display);
}

std::optional<std::string> ClipboardPeer::read(const std::string& name) {
    Display* display = XOpenDisplay(name.c_str());
    if (display == nullptr) return std::nullopt;
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const Atom property = XInternAtom(display, "PEER_READ", False);
    XConvertSelection(display, XInternAtom(display, "CLIPBOARD", False), XInternAtom(display, "UTF8_STRING", False),
                      property, window, CurrentTime);
    XFlush(display);
    std::optional<std::string> text;
    XEvent event;
    for (auto deadline = Clock::now() + std::chrono::seconds(30); Clock::now() < deadline; waitForEvents(display, 20)) {
        if (!XCheckTypedWindowEvent(display, window, SelectionNotify, &event)) continue;
        if (event.xselection.property != None) text = take(display, window, property);
        break;
    }
    XCloseDisplay(display);
    return text;
}

std::string ClipboardPeer::pictureOf(Display* display, unsigned long window) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0) return {};
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return {};
    std::string pixels(image->data, static_cast<std::size_t>(image->bytes_per_line * image->height));
    XDestroyImage(image);
    return pixels;
}

}  // namespace testsupport
