#include "platform/host/X11Window.h"

#include "platform/foundation/Log.h"
#include "platform/host/DisplayScale.h"
#include "platform/host/X11Clipboard.h"
#include "platform/host/X11Connection.h"
#include "platform/host/X11FrameBuffer.h"
#include "platform/render/Image.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace host {

namespace {

constexpr long eventMask = ExposureMask | StructureNotifyMask | FocusChangeMask | KeyPressMask | KeyReleaseMask |
                           ButtonPressMask | ButtonReleaseMask | Button1MotionMask | LeaveWindowMask |
                           PropertyChangeMask;

// _NET_WM_MOVERESIZE's direction for a move, and the source of requests: an application.
constexpr long moveDirection = 8;
constexpr long fromApplication = 1;

struct Area {
    int x = 0, y = 0, width = 0, height = 0;
    Area intersection(const Area& o) const {
        const int left = std::max(x, o.x), top = std::max(y, o.y);
        const int right = std::min(x + width, o.x + o.width), bottom = std::min(y + height, o.y + o.height);
        return {left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
    }
};

// The 32-bit items of a property (Xlib hands them over as longs); empty when it is not set.
std::vector<long> longsOf(Display* display, Window window, Atom property, Atom type) {
    Atom actual = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actual, &format, &items, &after, &data) ==
            Success &&
        actual == type && format == 32)
        values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + items);
    if (data != nullptr) XFree(data);
    return values;
}

// The primary monitor (RandR 1.5), else the first, else the whole screen.
Area primaryMonitor(Display* display, int screen, Window root) {
    Area area{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &event, &error) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 105)
        return area;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    if (monitors == nullptr) return area;
    if (count > 0) {
        const XRRMonitorInfo* chosen = &monitors[0];
        for (int i = 0; i < count; ++i)
            if (monitors[i].primary) chosen = &monitors[i];
        area = {chosen->x, chosen->y, chosen->width, chosen->height};
    }
    XRRFreeMonitors(monitors);
    return area;
}

// What the desktop leaves free of its panels on the current desktop (_NET_WORKAREA).
std::optional<Area> workArea(Display* display, Window root, const X11Atoms& atoms) {
    const auto areas = longsOf(display, root, atoms.netWorkArea, XA_CARDINAL);
    const auto current = longsOf(display, root, atoms.netCurrentDesktop, XA_CARDINAL);
    std::size_t desktop = current.empty() ? 0 : static_cast<std::size_t>(current[0]);
    if (areas.size() < 4 * (desktop + 1)) desktop = 0;
    if (areas.size() < 4) return std::nullopt;
    const long* a = areas.data() + 4 * desktop;
    return Area{int(a[0]), int(a[1]), int(a[2]), int(a[3])};
}

// Where a window of this width and height opens.
std::pair<int, int> placement(Display* display, int screen, Window root, const X11Atoms& atoms,
                              AppDescription::WindowStyle::Placement where, int width, int height) {
    constexpr int margin = 16;
    const Area monitor = primaryMonitor(display, screen, root);
    if (where == AppDescription::WindowStyle::Placement::topRight) {
        Area usable = monitor;
        if (auto work = workArea(display, root, atoms); work && monitor.intersection(*work).width > 0)
            usable = monitor.intersection(*work);
        return {std::max(usable.x, usable.x + usable.width - width - margin), usable.y + margin};
    }
    return {monitor.x + (monitor.width - width) / 2, monitor.y + (monitor.height - height) / 2};
}

int pixelsOf(double points, double scale) { return std::max(1, static_cast<int>(std::lround(points * scale))); }

bool cairoLayout(const Visual* visual) {
    return visual->c_class == TrueColor && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
           visual->blue_mask == 0xFF;
}

// A 24-bit true-colour visual whose pixels Cairo draws as they are.
std::optional<XVisualInfo> chooseVisual(Display* display, int screen) {
    XVisualInfo info{};
    if (DefaultDepth(display, screen) == 24 && cairoLayout(DefaultVisual(display, screen))) {
        info.visual = DefaultVisual(display, screen);
        info.depth = 24;
        return info;
    }
    if (XMatchVisualInfo(display, screen, 24, TrueColor, &info) && cairoLayout(info.visual)) return info;
    return std::nullopt;
}

void sendToRoot(Display* display, Window root, Window window, Atom type, const std::array<long, 5>& data) {
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = type;
    message.xclient.format = 32;
    std::copy(data.begin(), data.end(), message.xclient.data.l);
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &message);
}

// The desktop clipboard as the pasteboard's storage, while the window is open. The text that
// prepare() fetched is what the reads of its `ready` get.
class ClipboardStorage : public uikit::PasteboardStorage {
public:
    explicit ClipboardStorage(X11Clipboard& clipboard) : clipboard_(clipboard) {}
    std::optional<std::string> read() override {
        const X11Clipboard::Received received = prepared_ ? *prepared_ : clipboard_.read();
        if (!received.failure.empty()) failure_ = received.failure;
        return received.text;
    }
    void write(const std::string& text) override {
        std::string failure;
        if (!clipboard_.write(text, failure)) failure_ = failure;
    }
    void prepare(const std::function<void()>& ready) override {
        clipboard_.fetch([this, ready, alive = lifetime_.weak()](const X11Clipboard::Received& received) {
            if (alive.expired()) return;
            prepared_ = received;
            ready();
            prepared_.reset();
        });
    }
    std::optional<std::string> takeFailure() override { return std::exchange(failure_, std::nullopt); }

private:
    X11Clipboard& clipboard_;
    std::optional<X11Clipboard::Received> prepared_;
    std::optional<std::string> failure_;
    foundation::Lifetime lifetime_;
};

}  // namespace

std::unique_ptr<NativeWindow> X11Window::open(const Options& options, std::string& error) {
    auto connection = X11Connection::open(error);
    if (!connection) return nullptr;
    Display* display = connection->display();
    const int screen = connection->screen();
    const Window root = connection->root();
    const auto visual = chooseVisual(display, screen);
    if (!visual) {
        error = "the display has no 24-bit true-colour visual";
        return nullptr;
    }
    const double scale = DisplayScale::choose(XResourceManagerString(display), std::getenv(DisplayScale::variable));
    const int width = pixelsOf(options.size.width, scale), height = pixelsOf(options.size.height, scale);
    const auto [x, y] = placement(display, screen, root, connection->atoms(), options.style.placement, width, height);
    XSetWindowAttributes attributes{};
    // No background: the server leaves the window's pixels to the frames (the first one is the
    // background while the window is mapped, see show()).
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.colormap = visual->visual == DefaultVisual(display, screen)
                              ? DefaultColormap(display, screen)
                              : XCreateColormap(display, root, visual->visual, AllocNone);
    attributes.event_mask = eventMask;
    attributes.bit_gravity = NorthWestGravity;
    const Window window =
        XCreateWindow(display, root, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height), 0, visual->depth,
                      InputOutput, visual->visual, CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask | CWBitGravity,
                      &attributes);
    std::unique_ptr<X11Window> made(new X11Window(options, std::move(connection), window, scale));
    made->frame_ = std::make_unique<X11FrameBuffer>(*made->connection_, window, visual->visual, visual->depth);
    made->describe(x, y);
    // The window and what it tells the window manager exist once open returns.
    XSync(display, False);
    return made;
}

X11Window::X11Window(const Options& options, std::unique_ptr<X11Connection> connection, unsigned long window,
                     double scale)
    : NativeWindow(options), connection_(std::move(connection)), window_(window), size_(options.size), scale_(scale) {
    Display* display = connection_->display();
    clipboard_ = std::make_unique<X11Clipboard>(*connection_, window_, [this] { return lastInput_; });
    // A held key repeats as presses alone, without a release before each, where the server
    // grants it.
    Bool detectable = False;
    XkbSetDetectableAutoRepeat(display, True, &detectable);
    detectableAutoRepeat_ = detectable == True;
    wakeUp_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

X11Window::~X11Window() {
    clipboard_->handOver();
    clipboard_.reset();
    frame_.reset();
    Display* display = connection_->display();
    if (background_ != 0) XFreePixmap(display, background_);
    XDestroyWindow(display, window_);
    XSync(display, False);
    if (wakeUp_ >= 0) close(wakeUp_);
}

int X11Window::pixels(double points) const { return pixelsOf(points, scale_); }

uikit::Point X11Window::points(int x, int y) const { return {x / scale_, y / scale_}; }

// What the window manager knows of the window.
void X11Window::describe(int x, int y) {
    Display* display = connection_->display();
    const X11Atoms& atoms = connection_->atoms();
    const Options& o = options();
    XStoreName(display, window_, o.title.c_str());
    XChangeProperty(display, window_, atoms.netWmName, atoms.utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(o.title.data()), static_cast<int>(o.title.size()));
    XClassHint classHint{const_cast<char*>(o.className.c_str()), const_cast<char*>(o.className.c_str())};
    XSetClassHint(display, window_, &classHint);
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        char* names[] = {host};
        XTextProperty machine{};
        if (XStringListToTextProperty(names, 1, &machine)) {
            XSetWMClientMachine(display, window_, &machine);
            XFree(machine.value);
        }
    }
    const long pid = getpid();
    XChangeProperty(display, window_, atoms.netWmPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    Atom protocols[] = {atoms.wmDeleteWindow, atoms.netWmPing};
    XSetWMProtocols(display, window_, protocols, 2);
    const Atom normal = atoms.netWmWindowTypeNormal;
    XChangeProperty(display, window_, atoms.netWmWindowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&normal), 1);
    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    XSetWMHints(display, window_, &hints);
    // Only the panel has a place of its own; other windows go where the window manager puts them.
    if (o.style.placement == AppDescription::WindowStyle::Placement::topRight) position_ = {x, y};
    setSizeHints();
    if (!o.style.decorated) {
        // flags: decorations given; functions, decorations (none), input mode, status.
        const long motif[5] = {2, 0, 0, 0, 0};
        XChangeProperty(display, window_, atoms.motifWmHints, atoms.motifWmHints, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(motif), 5);
    }
    if (o.style.alwaysOnTop) {
        const Atom above = atoms.netWmStateAbove;
        XChangeProperty(display, window_, atoms.netWmState, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&above), 1);
    }
}

// The window's own place, when it has one, and its smallest size: the style's for a window that
// can be resized, else its size, which is then also its largest.
void X11Window::setSizeHints() {
    XSizeHints hints{};
    if (position_) {
        hints.flags |= USPosition | PPosition;
        hints.x = position_->first;
        hints.y = position_->second;
    }
    hints.flags |= PMinSize;
    if (options().style.resizable) {
        hints.min_width = pixels(options().style.minimumSize.width);
        hints.min_height = pixels(options().style.minimumSize.height);
    } else {
        hints.flags |= PMaxSize;
        hints.min_width = hints.max_width = pixels(size_.width);
        hints.min_height = hints.max_height = pixels(size_.height);
    }
    XSetWMNormalHints(connection_->display(), window_, &hints);
}

void X11Window::resize(uikit::Size size) {
    size_ = size;
    if (!options().style.resizable) setSizeHints();
    XResizeWindow(connection_->display(), window_, static_cast<unsigned>(pixels(size.width)),
                  static_cast<unsigned>(pixels(size.height)));
    XFlush(connection_->display());
}

void X11Window::setIcon(const render::Image& icon) {
    std::vector<long> data{icon.width(), icon.height()};
    data.reserve(2 + static_cast<std::size_t>(icon.width()) * icon.height());
    auto channel = [](double value) { return static_cast<unsigned long>(std::lround(std::clamp(value, 0.0, 1.0) * 255)); };
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            const uikit::Color c = icon.pixel(x, y);
            data.push_back(static_cast<long>(channel(c.alpha) << 24 | channel(c.red) << 16 | channel(c.green) << 8 |
                                             channel(c.blue)));
        }
    XChangeProperty(connection_->display(), window_, connection_->atoms().netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
    XFlush(connection_->display());
}

cairo_surface_t* X11Window::picture(bool& fresh) {
    return frame_->picture(pixels(size_.width), pixels(size_.height), fresh);
}

void X11Window::present(const std::vector<render::DamageRegion::Box>& boxes) {
    if (shown_ && !minimized_) frame_->put(window_, boxes);
}

// The window is mapped with the picture as its background: the server shows the first frame
// the moment the window appears, whatever the window manager does first.
void X11Window::show() {
    Display* display = connection_->display();
    shown_ = true;
    if (cairo_surface_t* drawn = frame_->current(); drawn != nullptr && background_ == 0) {
        const int width = pixels(size_.width), height = pixels(size_.height);
        background_ = XCreatePixmap(display, window_, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                    static_cast<unsigned>(frame_->depth()));
        frame_->putWhole(background_);
        XSetWindowBackgroundPixmap(display, window_, background_);
    }
    XMapWindow(display, window_);
    XFlush(display);
}

void X11Window::exposed() {
    Display* display = connection_->display();
    if (background_ != 0) {
        XSetWindowBackgroundPixmap(display, window_, None);
        XFreePixmap(display, background_);
        background_ = 0;
    }
    const cairo_surface_t* drawn = frame_->current();
    if (drawn != nullptr && !minimized_) frame_->putWhole(window_);
}

void X11Window::bringForward() {
    Display* display = connection_->display();
    if (minimized_) XMapWindow(display, window_);
    // The time of this request (a window manager that prevents focus stealing compares it with
    // the user's last input elsewhere): the server's now.
    sendToRoot(display, connection_->root(), window_, connection_->atoms().netActiveWindow,
               {fromApplication, static_cast<long>(connection_->serverTime(window_)), 0, 0, 0});
    XRaiseWindow(display, window_);
    XFlush(display);
}

bool X11Window::windowManagerMoves() {
    const auto supported = longsOf(connection_->display(), connection_->root(), connection_->atoms().netSupported, XA_ATOM);
    return std::find(supported.begin(), supported.end(), static_cast<long>(connection_->atoms().netWmMoveResize)) !=
           supported.end();
}

void X11Window::beginMove() {
    Display* display = connection_->display();
    if (!windowManagerMoves()) {
        movingItself_ = true;
        return;
    }
    // The press's grab of the pointer ends, so that the window manager can take it.
    XUngrabPointer(display, connection_->serverTime(window_));
    sendToRoot(display, connection_->root(), window_, connection_->atoms().netWmMoveResize,
               {pressRootX_, pressRootY_, moveDirection, Button1, fromApplication});
    XFlush(display);
}

std::unique_ptr<uikit::PasteboardStorage> X11Window::clipboard() { return std::make_unique<ClipboardStorage>(*clipboard_); }

bool X11Window::hasSystemEvents() { return XPending(connection_->display()) > 0; }

std::optional<WindowEvent> X11Window::nextSystemEvent() {
    Display* display = connection_->display();
    // The event before was handled.
    lastInput_ = 0;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (auto translated = translate(event)) return translated;
    }
    return std::nullopt;
}

// Sleeps in poll() on the server's connection and the wake-up descriptor: XPending first takes
// whatever was read already, so that nothing waits in a queue while poll sleeps.
void X11Window::wait(std::optional<double> seconds) {
    if (XPending(connection_->display()) > 0) return;
    pollfd descriptors[2] = {{ConnectionNumber(connection_->display()), POLLIN, 0}, {wakeUp_, POLLIN, 0}};
    const int milliseconds = seconds ? static_cast<int>(std::ceil(std::max(*seconds, 0.0) * 1000)) : -1;
    poll(descriptors, 2, milliseconds);
    if ((descriptors[1].revents & POLLIN) != 0) {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto ignored = read(wakeUp_, &count, sizeof count);
    }
}

void X11Window::wakeUp() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto ignored = write(wakeUp_, &one, sizeof one);
}

std::optional<WindowEvent> X11Window::configured(int width, int height) {
    if ((width == pixels(size_.width) && height == pixels(size_.height)) || width <= 0 || height <= 0)
        return std::nullopt;
    size_ = {width / scale_, height / scale_};
    return WindowEvent{WindowEvent::Kind::resized, {}, {}};
}

// Minimised: the window manager's state says iconic (WM_STATE) or hidden (_NET_WM_STATE).
std::optional<WindowEvent> X11Window::stateChanged() {
    Display* display = connection_->display();
    const X11Atoms& atoms = connection_->atoms();
    const auto state = longsOf(display, window_, atoms.wmState, atoms.wmState);
    const auto netState = longsOf(display, window_, atoms.netWmState, XA_ATOM);
    const bool iconic = (!state.empty() && state[0] == IconicState) ||
                        std::find(netState.begin(), netState.end(), static_cast<long>(atoms.netWmStateHidden)) !=
                            netState.end();
    if (iconic == minimized_) return std::nullopt;
    minimized_ = iconic;
    return WindowEvent{iconic ? WindowEvent::Kind::minimized : WindowEvent::Kind::restored, {}, {}};
}

// With detectable auto-repeat every release is one: a key released and pressed again within the
// same millisecond (typing tools, scanners, remote desktops) is two presses. Without it a held
// key sends a release and a press at the same time, which is all there is to tell a repeat by.
bool X11Window::autoRepeated(const XEvent& release) {
    if (detectableAutoRepeat_) return false;
    Display* display = connection_->display();
    if (XEventsQueued(display, QueuedAfterReading) == 0) return false;
    XEvent next;
    XPeekEvent(display, &next);
    return next.type == KeyPress && next.xkey.keycode == release.xkey.keycode && next.xkey.time == release.xkey.time;
}

std::optional<WindowEvent> X11Window::translate(XEvent& event) {
    using Kind = WindowEvent::Kind;
    Display* display = connection_->display();
    const X11Atoms& atoms = connection_->atoms();
    if (clipboard_->handle(event)) return std::nullopt;
    switch (event.type) {
    case Expose:
        if (event.xexpose.count == 0) exposed();
        return std::nullopt;
    case ConfigureNotify:
        return configured(event.xconfigure.width, event.xconfigure.height);
    case MapNotify:
        mapped_ = true;
        return std::nullopt;
    case UnmapNotify:
        mapped_ = false;
        return std::nullopt;
    case PropertyNotify:
        if (event.xproperty.atom == atoms.wmState || event.xproperty.atom == atoms.netWmState) return stateChanged();
        return std::nullopt;
    case FocusIn:
    case FocusOut:
        if (event.xfocus.mode == NotifyGrab || event.xfocus.mode == NotifyUngrab ||
            event.xfocus.detail == NotifyInferior || event.xfocus.detail == NotifyPointer)
            return std::nullopt;
        keyboard_.forgetHeldKeys();
        return WindowEvent{event.type == FocusIn ? Kind::focusIn : Kind::focusOut, {}, {}};
    case KeyPress:
        lastInput_ = event.xkey.time;
        if (auto down = keyboard_.keyDown(event)) return WindowEvent{Kind::key, {}, std::move(*down)};
        return std::nullopt;
    case KeyRelease:
        if (!autoRepeated(event)) keyboard_.keyUp(event.xkey.keycode);
        return std::nullopt;
    case ButtonPress:
        if (event.xbutton.button != Button1) return std::nullopt;
        lastInput_ = event.xbutton.time;
        pressRootX_ = event.xbutton.x_root, pressRootY_ = event.xbutton.y_root;
        pressX_ = event.xbutton.x, pressY_ = event.xbutton.y;
        return WindowEvent{Kind::press, points(event.xbutton.x, event.xbutton.y), {}};
    case MotionNotify:
        if (movingItself_) {
            position_ = {event.xmotion.x_root - pressX_, event.xmotion.y_root - pressY_};
            XMoveWindow(display, window_, position_->first, position_->second);
            return std::nullopt;
        }
        return WindowEvent{Kind::move, points(event.xmotion.x, event.xmotion.y), {}};
    case ButtonRelease:
        if (event.xbutton.button != Button1) return std::nullopt;
        lastInput_ = event.xbutton.time;
        if (std::exchange(movingItself_, false)) {
            // Where the user put the window is its place from now on.
            setSizeHints();
            return std::nullopt;
        }
        return WindowEvent{Kind::release, points(event.xbutton.x, event.xbutton.y), {}};
    case LeaveNotify:
        if (event.xcrossing.mode != NotifyNormal || event.xcrossing.detail == NotifyInferior || movingItself_)
            return std::nullopt;
        return WindowEvent{Kind::pointerLeft, {}, {}};
    case ClientMessage:
        if (event.xclient.message_type != atoms.wmProtocols) return std::nullopt;
        if (static_cast<Atom>(event.xclient.data.l[0]) == atoms.wmDeleteWindow) return WindowEvent{Kind::close, {}, {}};
        if (static_cast<Atom>(event.xclient.data.l[0]) == atoms.netWmPing) {
            // Still alive: the ping goes back to the window manager.
            XEvent pong = event;
            pong.xclient.window = connection_->root();
            XSendEvent(display, connection_->root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &pong);
            XFlush(display);
        }
        return std::nullopt;
    case MappingNotify:
        XRefreshKeyboardMapping(&event.xmapping);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

}  // namespace host
