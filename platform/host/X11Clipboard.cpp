#include "platform/host/X11Clipboard.h"

#include "platform/foundation/Log.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <climits>

namespace host {

namespace {

using Clock = std::chrono::steady_clock;

struct Wanted {
    int type;
    Window window;
    Atom atom;
    bool anyState;
};

// A SelectionNotify for the window's request, or a PropertyNotify of the window's property
// (only a new value, unless anyState).
Bool matches(Display*, XEvent* event, XPointer argument) {
    const auto* wanted = reinterpret_cast<const Wanted*>(argument);
    if (event->type != wanted->type) return False;
    if (event->type == SelectionNotify)
        return event->xselection.requestor == wanted->window && event->xselection.selection == wanted->atom;
    return event->xproperty.window == wanted->window && event->xproperty.atom == wanted->atom &&
           (wanted->anyState || event->xproperty.state == PropertyNewValue);
}

std::string toLatin1(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        if (length == 1) out += static_cast<char>(c);
        else if (length == 2 && i + 1 < utf8.size() && c <= 0xC3)
            out += static_cast<char>(((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
        else out += '?';
        i += length;
    }
    return out;
}

std::string fromLatin1(const std::string& latin1) {
    std::string out;
    for (const char byte : latin1) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The largest property one request can set, in bytes.
std::size_t largestProperty(Display* display) {
    long units = XExtendedMaxRequestSize(display);
    if (units == 0) units = XMaxRequestSize(display);
    return static_cast<std::size_t>(units) * 4 - 64;
}

}  // namespace

X11Clipboard::X11Clipboard(Display* display, unsigned long window, const X11Atoms& atoms,
                           std::function<unsigned long()> time)
    : display_(display), window_(window), atoms_(atoms), time_(std::move(time)) {}

std::optional<std::string> X11Clipboard::read() {
    const Window owner = XGetSelectionOwner(display_, atoms_.clipboard);
    if (owner == None) return std::nullopt;
    if (owner == window_) return owned_;
    std::string text;
    Outcome outcome = transfer(atoms_.utf8String, text);
    if (outcome == Outcome::refused) {
        outcome = transfer(XA_STRING, text);
        text = fromLatin1(text);
    }
    if (outcome != Outcome::text) return std::nullopt;
    return text;
}

void X11Clipboard::write(const std::string& text) {
    owned_ = text;
    ownedSince_ = time_();
    XSetSelectionOwner(display_, atoms_.clipboard, window_, ownedSince_);
    if (XGetSelectionOwner(display_, atoms_.clipboard) == window_) return;
    owned_.reset();
    foundation::Log::warning("pasteboard: the display did not give the clipboard to the window");
}

bool X11Clipboard::handle(const XEvent& event) {
    if (event.type == SelectionRequest) {
        answer(event);
        return true;
    }
    if (event.type == SelectionClear && event.xselectionclear.selection == atoms_.clipboard) {
        owned_.reset();
        return true;
    }
    return false;
}

X11Clipboard::Outcome X11Clipboard::transfer(unsigned long target, std::string& text) {
    XDeleteProperty(display_, window_, atoms_.transfer);
    XConvertSelection(display_, atoms_.clipboard, target, atoms_.transfer, window_, time_());
    XEvent event;
    if (!waitFor(SelectionNotify, atoms_.clipboard, event)) return Outcome::failed;
    if (event.xselection.property == None) return Outcome::refused;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window_, atoms_.transfer, 0, 0, False, AnyPropertyType, &type, &format, &items,
                           &after, &data) != Success)
        return Outcome::failed;
    XFree(data);
    if (type == atoms_.incr) return incremental(text);
    if (after > largestText) {
        XDeleteProperty(display_, window_, atoms_.transfer);
        foundation::Log::warning("pasteboard: the clipboard's text is larger than " + std::to_string(largestText) +
                                 " bytes; it is not read");
        return Outcome::failed;
    }
    if (XGetWindowProperty(display_, window_, atoms_.transfer, 0, static_cast<long>((after + 3) / 4), True,
                           AnyPropertyType, &type, &format, &items, &after, &data) != Success)
        return Outcome::failed;
    if (format == 8) text.assign(reinterpret_cast<const char*>(data), items);
    XFree(data);
    return format == 8 ? Outcome::text : Outcome::refused;
}

// The owner hands the text over in pieces, each once the one before was taken (its property
// deleted), and ends with an empty one.
X11Clipboard::Outcome X11Clipboard::incremental(std::string& text) {
    // What is left of the announcement's notices would read as the first piece.
    XEvent stale;
    Wanted announcement{PropertyNotify, window_, atoms_.transfer, true};
    while (XCheckIfEvent(display_, &stale, matches, reinterpret_cast<XPointer>(&announcement))) {
    }
    XDeleteProperty(display_, window_, atoms_.transfer);
    text.clear();
    for (;;) {
        XEvent event;
        if (!waitFor(PropertyNotify, atoms_.transfer, event)) return Outcome::failed;
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, window_, atoms_.transfer, 0, LONG_MAX / 4, True, AnyPropertyType, &type,
                               &format, &items, &after, &data) != Success)
            return Outcome::failed;
        const std::size_t bytes = format == 8 ? items : 0;
        text.append(reinterpret_cast<const char*>(data), bytes);
        XFree(data);
        if (bytes == 0) return Outcome::text;
        if (text.size() > largestText) {
            foundation::Log::warning("pasteboard: the clipboard's text is larger than " + std::to_string(largestText) +
                                     " bytes; it is not read");
            return Outcome::failed;
        }
    }
}

// Waits for the owner's answer without taking the window's other events, at most `patience`.
bool X11Clipboard::waitFor(int type, unsigned long atom, XEvent& event) {
    Wanted wanted{type, window_, atom, false};
    const auto deadline = Clock::now() + std::chrono::duration<double>(patience);
    for (;;) {
        if (XCheckIfEvent(display_, &event, matches, reinterpret_cast<XPointer>(&wanted))) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(left) + 1);
    }
    foundation::Log::warning("pasteboard: the clipboard's owner did not answer within " +
                             std::to_string(static_cast<int>(patience)) + " s");
    return false;
}

void X11Clipboard::answer(const XEvent& event) {
    const XSelectionRequestEvent& request = event.xselectionrequest;
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display_;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.property = None;
    reply.xselection.time = request.time;
    // Obsolete requestors name no property: the target's name serves.
    const Atom property = request.property != None ? request.property : request.target;
    const bool current = owned_ && request.selection == atoms_.clipboard &&
                         (request.time == CurrentTime || request.time >= ownedSince_);
    if (current && request.target == atoms_.targets) {
        const Atom offered[] = {atoms_.targets, atoms_.utf8String, XA_STRING};
        XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(offered), 3);
        reply.xselection.property = property;
    } else if (current && (request.target == atoms_.utf8String || request.target == XA_STRING)) {
        const std::string bytes = request.target == XA_STRING ? toLatin1(*owned_) : *owned_;
        if (bytes.size() <= largestProperty(display_)) {
            XChangeProperty(display_, request.requestor, property, request.target, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
            reply.xselection.property = property;
        }
    }
    XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
    XFlush(display_);
}

}  // namespace host
