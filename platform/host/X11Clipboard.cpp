#include "platform/host/X11Clipboard.h"

#include "platform/foundation/Characters.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Timer.h"
#include "platform/host/X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <iconv.h>

#include <cerrno>
#include <iterator>
#include <utility>

namespace host {

namespace {

// Latin-1, with what it lacks transliterated by the C library ("−" as "-", "…" as "...", "?"
// for what has no likeness).
std::string toLatin1(const std::string& utf8) {
    iconv_t converter = iconv_open("ISO-8859-1//TRANSLIT", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) return utf8;
    std::string out;
    char buffer[4096];
    char* in = const_cast<char*>(utf8.data());
    std::size_t left = utf8.size();
    while (left > 0) {
        char* next = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t result = iconv(converter, &in, &left, &next, &room);
        out.append(buffer, static_cast<std::size_t>(next - buffer));
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // A byte that starts no character (or an unfinished one at the end).
        out += '?';
        ++in, --left;
    }
    iconv_close(converter);
    return out;
}

// The largest property one request can set, in bytes.
std::size_t largestProperty(Display* display) {
    long units = XExtendedMaxRequestSize(display);
    if (units == 0) units = XMaxRequestSize(display);
    return static_cast<std::size_t>(units) * 4 - 64;
}

struct Property {
    Atom type = None;
    int format = 0;
    std::string bytes;
    unsigned long left = 0;
};

// At most `longest` bytes of the window's property.
Property propertyOf(Display* display, Window window, Atom atom, std::size_t longest, bool remove) {
    Property p;
    unsigned long items = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, atom, 0, static_cast<long>((longest + 3) / 4), remove, AnyPropertyType,
                           &p.type, &p.format, &items, &p.left, &data) != Success)
        return {};
    if (p.format == 8) p.bytes.assign(reinterpret_cast<const char*>(data), std::min<std::size_t>(items, longest));
    if (data != nullptr) XFree(data);
    return p;
}

// The events of a read of our window: the owner's SelectionNotify, and changes of the property
// it writes into.
Bool ofTransfer(Display*, XEvent* event, XPointer argument) {
    const auto* atoms = reinterpret_cast<const std::pair<Window, Atom>*>(argument);
    if (event->type == SelectionNotify) return event->xselection.requestor == atoms->first;
    return event->type == PropertyNotify && event->xproperty.window == atoms->first &&
           event->xproperty.atom == atoms->second;
}

// The events of owning a selection.
Bool ofOwning(Display*, XEvent* event, XPointer argument) {
    const Window window = *reinterpret_cast<const Window*>(argument);
    return (event->type == SelectionRequest && event->xselectionrequest.owner == window) ||
           (event->type == SelectionClear && event->xselectionclear.window == window) ||
           (event->type == SelectionNotify && event->xselection.requestor == window);
}

}  // namespace

X11Clipboard::X11Clipboard(X11Connection& connection, unsigned long window, std::function<unsigned long()> inputTime)
    : connection_(connection),
      display_(connection.display()),
      window_(window),
      atoms_(connection.atoms()),
      inputTime_(std::move(inputTime)),
      property_(atoms_.transfer) {}

X11Clipboard::~X11Clipboard() {
    if (timer_) timer_->invalidate();
}

// The outcome when no other program owns the clipboard.
std::optional<X11Clipboard::Received> X11Clipboard::withoutTransfer() {
    const Window owner = XGetSelectionOwner(display_, atoms_.clipboard);
    if (owner == None) return Received{};
    if (owner == window_) return Received{owned_, {}};
    return std::nullopt;
}

void X11Clipboard::fetch(Done done) {
    if (step_ == Step::idle) {
        if (auto now = withoutTransfer()) {
            done(*now);
            return;
        }
        deadline_ = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(patience));
        received_.clear();
        convert(atoms_.utf8String);
        timer_ = foundation::Timer::scheduledTimer(patience, false, [this](foundation::Timer&) { expire(); },
                                                   lifetime_.weak());
    }
    waiting_.push_back(std::move(done));
}

X11Clipboard::Received X11Clipboard::read() {
    std::optional<Received> outcome;
    fetch([&outcome](const Received& received) { outcome = received; });
    while (!outcome) {
        std::pair<Window, Atom> transfer{window_, property_};
        XEvent event;
        if (connection_.nextEvent(event, ofTransfer, &transfer, deadline_)) handle(event);
        else expire();
    }
    return *outcome;
}

void X11Clipboard::convert(unsigned long target) {
    step_ = Step::converting;
    target_ = target;
    XDeleteProperty(display_, window_, property_);
    XConvertSelection(display_, atoms_.clipboard, target, property_, window_, inputTime_());
    XFlush(display_);
}

// The owner's answer: the text, the announcement of pieces, or a refusal (then STRING is asked
// for, once).
void X11Clipboard::notified(const XEvent& event) {
    if (event.xselection.property == None) {
        if (target_ == atoms_.utf8String) convert(XA_STRING);
        else finish({});
        return;
    }
    Property answer = propertyOf(display_, window_, property_, largestText, false);
    if (answer.type == atoms_.incr) {
        step_ = Step::incremental;
        // Taking the announcement asks for the first piece.
        XDeleteProperty(display_, window_, property_);
        XFlush(display_);
        return;
    }
    XDeleteProperty(display_, window_, property_);
    if (answer.format != 8) return finish({});
    if (answer.left > 0)
        foundation::Log::info("pasteboard: the clipboard's text is longer than " + std::to_string(largestText) +
                              " bytes; its start is read");
    finish({std::move(answer.bytes), {}});
}

// One piece of the text (taking it asks for the next); an empty one ends it. Past largestText
// the rest is not read.
void X11Clipboard::piece() {
    Property next = propertyOf(display_, window_, property_, largestText, true);
    XFlush(display_);
    if (next.bytes.empty()) return finish({std::move(received_), {}});
    received_ += next.bytes;
    if (received_.size() < largestText) return;
    received_.resize(largestText);
    foundation::Log::info("pasteboard: the clipboard's text is longer than " + std::to_string(largestText) +
                          " bytes; its start is read");
    retireProperty();
    finish({std::move(received_), {}});
}

void X11Clipboard::expire() {
    if (step_ == Step::idle) return;
    // A piece the owner wrote meanwhile is taken; what it writes after that is left alone.
    XDeleteProperty(display_, window_, property_);
    XFlush(display_);
    retireProperty();
    const std::string failure =
        "the clipboard's owner did not hand its text over within " + std::to_string(static_cast<int>(patience)) + " s";
    foundation::Log::warning("pasteboard: " + failure);
    finish({std::nullopt, failure});
}

// An owner whose read was given up may still write pieces, at any time, into the property it was
// told: the reads after it use another one.
void X11Clipboard::retireProperty() {
    property_ = XInternAtom(display_, ("OSTRELO_SELECTION_" + std::to_string(++retired_)).c_str(), False);
}

void X11Clipboard::finish(Received received) {
    if (received.text && target_ == XA_STRING) received.text = foundation::Characters::fromLatin1(*received.text);
    step_ = Step::idle;
    received_.clear();
    if (timer_) timer_->invalidate();
    timer_.reset();
    for (const Done& done : std::exchange(waiting_, {})) done(received);
}

bool X11Clipboard::write(const std::string& text, std::string& failure) {
    const unsigned long time = inputTime_() != 0 ? inputTime_() : connection_.serverTime(window_);
    XSetSelectionOwner(display_, atoms_.clipboard, window_, time);
    if (XGetSelectionOwner(display_, atoms_.clipboard) == window_) {
        owned_ = text;
        ownedSince_ = time;
        return true;
    }
    owned_.reset();
    failure = "the display did not give the clipboard to the window";
    foundation::Log::warning("pasteboard: " + failure);
    return false;
}

bool X11Clipboard::handle(const XEvent& event) {
    switch (event.type) {
    case SelectionRequest:
        answer(event);
        return true;
    case SelectionClear:
        if (event.xselectionclear.selection == atoms_.clipboard) owned_.reset();
        return true;
    case SelectionNotify:
        if (event.xselection.requestor != window_) return false;
        // Only the answer to the read under way; a late one to a read given up is left alone.
        if (step_ == Step::converting && event.xselection.selection == atoms_.clipboard &&
            event.xselection.target == target_ &&
            (event.xselection.property == property_ || event.xselection.property == None))
            notified(event);
        return true;
    case PropertyNotify:
        if (event.xproperty.window != window_ || event.xproperty.atom != property_) return false;
        if (step_ == Step::incremental && event.xproperty.state == PropertyNewValue) piece();
        return true;
    default:
        return false;
    }
}

void X11Clipboard::handOver() {
    waiting_.clear();
    if (!owned_ || XGetSelectionOwner(display_, atoms_.clipboard) != window_ ||
        XGetSelectionOwner(display_, atoms_.clipboardManager) == None)
        return;
    XConvertSelection(display_, atoms_.clipboardManager, atoms_.saveTargets, None, window_,
                      connection_.serverTime(window_));
    XFlush(display_);
    const auto deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(managerPatience));
    Window window = window_;
    for (XEvent event; connection_.nextEvent(event, ofOwning, &window, deadline);) {
        if (event.type != SelectionNotify) {
            handle(event);
        } else if (event.xselection.selection == atoms_.clipboardManager) {
            if (event.xselection.property == None)
                foundation::Log::warning("pasteboard: the clipboard manager refused to take the clipboard");
            return;
        }
    }
    foundation::Log::warning("pasteboard: the clipboard manager did not take the clipboard within " +
                             std::to_string(static_cast<int>(managerPatience)) + " s");
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
    const bool served = current && (request.target == atoms_.multiple
                                        ? request.property != None && serveEach(request.requestor, request.property)
                                        : serve(request.requestor, request.target, property));
    if (served) reply.xselection.property = property;
    XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
    XFlush(display_);
}

bool X11Clipboard::serve(unsigned long requestor, unsigned long target, unsigned long property) {
    const auto put = [&](Atom type, int format, const void* data, std::size_t items) {
        XChangeProperty(display_, requestor, property, type, format, PropModeReplace,
                        static_cast<const unsigned char*>(data), static_cast<int>(items));
        return true;
    };
    if (target == atoms_.targets) {
        const Atom offered[] = {atoms_.targets, atoms_.multiple, atoms_.timestamp, atoms_.utf8String, XA_STRING};
        return put(XA_ATOM, 32, offered, std::size(offered));
    }
    if (target == atoms_.timestamp) {
        const long since = static_cast<long>(ownedSince_);
        return put(XA_INTEGER, 32, &since, 1);
    }
    if (target != atoms_.utf8String && target != XA_STRING) return false;
    const std::string bytes = target == XA_STRING ? toLatin1(*owned_) : *owned_;
    return bytes.size() <= largestProperty(display_) && put(target, 8, bytes.data(), bytes.size());
}

// MULTIPLE: the requestor's property lists (target, property) pairs; each target is served into
// its property, and the pairs of those not served name no property (None) afterwards.
bool X11Clipboard::serveEach(unsigned long requestor, unsigned long property) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, requestor, property, 0, 1024, False, AnyPropertyType, &type, &format, &items, &left,
                           &data) != Success)
        return false;
    std::vector<Atom> pairs;
    if (format == 32 && data != nullptr) {
        const auto* atoms = reinterpret_cast<const Atom*>(data);
        pairs.assign(atoms, atoms + items - items % 2);
    }
    if (data != nullptr) XFree(data);
    if (pairs.empty()) return false;
    for (std::size_t i = 0; i < pairs.size(); i += 2)
        if (pairs[i + 1] == None || !serve(requestor, pairs[i], pairs[i + 1])) pairs[i + 1] = None;
    XChangeProperty(display_, requestor, property, atoms_.atomPair, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(pairs.data()), static_cast<int>(pairs.size()));
    return true;
}

}  // namespace host
