// The window layer on a private X server. A second client of the server plays the user and the
// other programs of the desktop: it sends the events a person's input makes, reads what the
// window shows and owns or asks for the clipboard, on a thread of its own while the window's
// loop runs.
#include "platform/foundation/RunLoop.h"
#include "platform/host/DisplayScale.h"
#include "platform/host/PanelHost.h"
#include "platform/host/WindowHost.h"
#include "platform/host/X11Clipboard.h"
#include "platform/host/X11Window.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/Pasteboard.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/XServer.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>

namespace {

using Log = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

struct Screen : uikit::ViewController {
    Log* log;
    explicit Screen(Log* log) : log(log) {}
    void viewDidLoad() override {
        view()->setBackgroundColor(uikit::Color::rgb(10, 200, 30));
        auto* button = view()->add(std::make_unique<uikit::Button>(uikit::Rect(20, 100, 100, 60)));
        button->addTarget(this, [this](uikit::Control&) { this->log->push_back("tap"); }, uikit::ControlEventTouchUpInside,
                          lifetime_.weak());
    }
    bool canBecomeFirstResponder() const override { return true; }
    void pressesBegan(const uikit::PressSet& presses, const uikit::Event* event) override {
        uikit::ViewController::pressesBegan(presses, event);
        for (const uikit::Press* p : presses)
            if (p->key) log->push_back("key " + p->key->characters + " " + std::to_string(p->key->keyCode));
    }
    void viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) override {
        log->push_back("size " + std::to_string(int(size.width)) + "x" + std::to_string(int(size.height)));
        uikit::ViewController::viewWillTransitionToSize(size, coordinator);
    }
};

struct Widget : uikit::ViewController, uikit::WidgetProviding {
    void widgetPerformUpdateWithCompletionHandler(UpdateCompletion completion) override {
        completion(uikit::WidgetUpdateResultNoData);
    }
    void widgetActiveDisplayModeDidChange(int, uikit::Size) override {}
};

// Polls for a state with a generous deadline.
bool eventually(const std::function<bool()>& done) {
    for (auto deadline = Clock::now() + std::chrono::seconds(60); Clock::now() < deadline; usleep(1000))
        if (done()) return true;
    return false;
}

class X11WindowTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        if (!testsupport::XServer::installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs it)";
        server = std::make_unique<testsupport::XServer>("1600x1600");
        ASSERT_FALSE(server->display().empty()) << server->failure();
        setenv("DISPLAY", server->display().c_str(), 1);
        setenv(host::NativeWindow::systemVariable, "x11", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv(host::DisplayScale::variable);
        other = XOpenDisplay(server->display().c_str());
        ASSERT_NE(other, nullptr);
    }
    void TearDown() override {
        if (other != nullptr) XCloseDisplay(other);
        server.reset();
        SuiteTest::TearDown();
    }

    std::unique_ptr<host::WindowHost> open(host::AppDescription app) {
        app.name = "ostrelo-test";
        std::string error;
        auto window = host::WindowHost::open(app, error);
        EXPECT_TRUE(window) << error;
        if (window) window->launch();
        return window;
    }
    static Window idOf(host::WindowHost& window) { return static_cast<host::X11Window&>(window.nativeWindow()).id(); }
    Atom atom(const char* name) const { return XInternAtom(other, name, False); }
    // Runs the window until `user` (on its own thread, with the other connection) is done. When
    // the user's last act `closes` the window, the window must end by itself; whether it did.
    bool runWhile(host::WindowHost& window, const std::function<void()>& user, bool closes = false) {
        std::atomic<bool> ended{false}, quitByTest{false};
        std::thread thread([&] {
            user();
            if (closes && eventually([&] { return ended.load(); })) return;
            quitByTest = true;
            foundation::RunLoop::main().post([&] { window.quit(); });
        });
        window.exec();
        ended = true;
        thread.join();
        return !quitByTest;
    }
    void send(Window window, XEvent event, long mask = NoEventMask) {
        event.xany.window = window;
        XSendEvent(other, window, False, mask, &event);
        XFlush(other);
    }
    XEvent key(int type, KeySym keysym, unsigned state = 0) {
        XEvent event{};
        event.xkey.type = type;
        event.xkey.keycode = XKeysymToKeycode(other, keysym);
        event.xkey.state = state;
        event.xkey.time = ++time;
        event.xkey.same_screen = True;
        return event;
    }
    XEvent button(int type, int x, int y, Window window, unsigned state = 0) {
        XEvent event{};
        event.xbutton.type = type;
        event.xbutton.button = Button1;
        event.xbutton.x = x, event.xbutton.y = y;
        Window child;
        XTranslateCoordinates(other, window, DefaultRootWindow(other), x, y, &event.xbutton.x_root,
                              &event.xbutton.y_root, &child);
        event.xbutton.state = state;
        event.xbutton.time = ++time;
        event.xbutton.same_screen = True;
        return event;
    }
    std::vector<long> longs(Window window, const char* property) {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        std::vector<long> values;
        if (XGetWindowProperty(other, window, atom(property), 0, 64, False, AnyPropertyType, &type, &format, &items,
                               &after, &data) == Success && format == 32)
            values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + items);
        XFree(data);
        return values;
    }
    XSizeHints sizeHints(Window window) {
        XSizeHints hints{};
        long supplied = 0;
        EXPECT_TRUE(XGetWMNormalHints(other, window, &hints, &supplied));
        return hints;
    }
    XWindowAttributes attributes(Window window) {
        XWindowAttributes a{};
        XGetWindowAttributes(other, window, &a);
        return a;
    }

    std::unique_ptr<testsupport::XServer> server;
    Display* other = nullptr;
    Time time = 1000;
    Log log;
};

// What a person does in the app's window, as the server delivers it, on a desktop of two pixels
// per point: the window is twice its size in points, opens where the window manager puts it and
// cannot be made smaller than its style's smallest size; the first frame is on the screen once
// the window is mapped, a click is a tap at its point, keys are presses with their usage codes
// (a key pressed again while held is a repeat), Ctrl+R turns the window, and the window
// manager's close ends the program.
TEST_F(X11WindowTest, TheWindowShowsItsFrameTakesClicksAndKeysAndClosesForTheWindowManager) {
    setenv(host::DisplayScale::variable, "2", 1);
    host::AppDescription app;
    app.makeRootViewController = [this] { return std::make_unique<Screen>(&log); };
    auto window = open(app);
    ASSERT_TRUE(window);
    const Window id = idOf(*window);
    XClassHint hint{};
    ASSERT_TRUE(XGetClassHint(other, id, &hint));
    EXPECT_EQ(std::string(hint.res_name) + " " + hint.res_class, "ostrelo-test ostrelo-test");
    XFree(hint.res_name), XFree(hint.res_class);
    EXPECT_EQ(longs(id, "_NET_WM_PID"), std::vector<long>{getpid()});
    EXPECT_EQ(std::vector<int>({attributes(id).width, attributes(id).height}), std::vector<int>({750, 1334}));
    const XSizeHints hints = sizeHints(id);
    EXPECT_EQ(hints.flags & (USPosition | PPosition | PMaxSize), 0);
    EXPECT_EQ(std::vector<int>({hints.min_width, hints.min_height}), std::vector<int>({640, 640}));

    unsigned long shown = 0;
    const bool closed = runWhile(*window, [&] {
        ASSERT_TRUE(eventually([&] { return attributes(id).map_state == IsViewable; }));
        ASSERT_TRUE(eventually([&] {
            XImage* image = XGetImage(other, id, 5, 5, 1, 1, AllPlanes, ZPixmap);
            if (image == nullptr) return false;
            shown = XGetPixel(image, 0, 0) & 0xFFFFFF;
            XDestroyImage(image);
            return shown == 0x0AC81E;
        }));
        send(id, button(ButtonPress, 140, 260, id));
        send(id, button(ButtonRelease, 140, 260, id, Button1Mask));
        send(id, key(KeyPress, XK_5));
        send(id, key(KeyPress, XK_5));
        send(id, key(KeyRelease, XK_5));
        send(id, key(KeyPress, XK_KP_Enter));
        send(id, key(KeyPress, XK_KP_Add));
        send(id, key(KeyPress, XK_c, ControlMask));
        send(id, key(KeyPress, XK_r, ControlMask));
        ASSERT_TRUE(eventually([&] { return attributes(id).width == 1334; }));
        XEvent close{};
        close.xclient.type = ClientMessage;
        close.xclient.message_type = atom("WM_PROTOCOLS");
        close.xclient.format = 32;
        close.xclient.data.l[0] = static_cast<long>(atom("WM_DELETE_WINDOW"));
        send(id, close);
    }, true);
    EXPECT_TRUE(closed);
    EXPECT_EQ(shown, 0x0AC81Eu);
    EXPECT_EQ(log, (Log{"tap", "key 5 34", "key \r 88", "key + 87", "key  6", "size 667x375"}));
}

// The widget's panel opens without decorations, on top, at the top right of what the desktop's
// panels leave free (a place it claims as the user's), with its size fixed; dragged by its header
// (without a window manager that moves windows) it follows the pointer and claims its new place.
TEST_F(X11WindowTest, ThePanelOpensOnTopAtTheTopRightOfTheUsableAreaAndIsDraggedByItsHeader) {
    const long workArea[] = {0, 40, 1280, 984};
    XChangeProperty(other, DefaultRootWindow(other), atom("_NET_WORKAREA"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(workArea), 4);
    XSync(other, False);
    auto window = open(host::PanelHost::description([] { return std::make_unique<Widget>(); }));
    ASSERT_TRUE(window);
    const Window id = idOf(*window);
    EXPECT_EQ(attributes(id).x, 1280 - 320 - 16);
    EXPECT_EQ(attributes(id).y, 40 + 16);
    EXPECT_EQ(longs(id, "_NET_WM_STATE"), std::vector<long>{static_cast<long>(atom("_NET_WM_STATE_ABOVE"))});
    EXPECT_EQ(longs(id, "_MOTIF_WM_HINTS"), (std::vector<long>{2, 0, 0, 0, 0}));
    XSizeHints hints = sizeHints(id);
    EXPECT_EQ(std::vector<int>({hints.min_width, hints.min_height, hints.max_width, hints.max_height}),
              std::vector<int>({320, 138, 320, 138}));
    EXPECT_EQ(std::vector<long>({hints.flags & USPosition, hints.x, hints.y}), std::vector<long>({USPosition, 944, 56}));

    runWhile(*window, [&] {
        ASSERT_TRUE(eventually([&] { return attributes(id).map_state == IsViewable; }));
        send(id, button(ButtonPress, 40, 10, id));
        XEvent motion = button(MotionNotify, 40, 10, id, Button1Mask);
        motion.xmotion.x_root -= 100, motion.xmotion.y_root += 50;
        send(id, motion);
        send(id, button(ButtonRelease, 40, 10, id, Button1Mask));
        // Pressed at (984, 66) on the screen, the pointer moved to (884, 116).
        ASSERT_TRUE(eventually([&] { return attributes(id).x == 844 && attributes(id).y == 106; }));
    });
    EXPECT_FALSE(window->driver().touchActive());
    hints = sizeHints(id);
    EXPECT_EQ(std::vector<long>({hints.flags & USPosition, hints.x, hints.y}), std::vector<long>({USPosition, 844, 106}));
}

// The clipboard with another program: what the window copied is served to it as UTF-8, as
// Latin-1 (a minus sign as "-") and in the list of targets, with the time it was taken, while
// the window owns it; what the other program copied is read whole, or in pieces when it is
// large, up to its first MiB; an owner that does not answer is no text, and the window goes on.
TEST_F(X11WindowTest, TheClipboardIsServedWhileOwnedAndReadFromAnotherOwnerWholeOrInPieces) {
    auto window = open({});
    ASSERT_TRUE(window);
    uikit::Pasteboard& pasteboard = uikit::Pasteboard::general();
    pasteboard.setString("−2+3=1 é");

    const Window requestor = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(other, requestor, PropertyChangeMask);
    const Atom clipboard = atom("CLIPBOARD"), property = atom("RECEIVED"), incr = atom("INCR");
    auto take = [&](Atom from) {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        XGetWindowProperty(other, requestor, from, 0, 1 << 20, True, AnyPropertyType, &type, &format, &items, &after, &data);
        std::string got = format == 32 ? std::to_string(items) + " atoms" : std::string(reinterpret_cast<char*>(data), items);
        if (type == XA_INTEGER) got = items == 1 && *reinterpret_cast<long*>(data) > 0 ? "a time" : "no time";
        for (unsigned long i = 0; format == 32 && type != XA_INTEGER && i < items; ++i) {
            const Atom named = reinterpret_cast<Atom*>(data)[i];
            char* name = named != None ? XGetAtomName(other, named) : nullptr;
            got += " " + std::string(name != nullptr ? name : "None");
            if (name != nullptr) XFree(name);
        }
        XFree(data);
        return got;
    };
    auto ask = [&](Atom target) {
        XConvertSelection(other, clipboard, target, property, requestor, CurrentTime);
        XEvent event{};
        if (!eventually([&] { return XCheckTypedWindowEvent(other, requestor, SelectionNotify, &event); })) return std::string();
        return take(property);
    };
    std::vector<std::string> answers;
    runWhile(*window, [&] {
        for (Atom target : {atom("TARGETS"), atom("TIMESTAMP"), atom("UTF8_STRING"), XA_STRING})
            answers.push_back(ask(target));
        // Several targets in one request (as clipboard managers save): the one not served is None.
        const Atom pairs[] = {atom("UTF8_STRING"), atom("FIRST"), atom("PIXMAP"), atom("SECOND")};
        XChangeProperty(other, requestor, property, atom("ATOM_PAIR"), 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(pairs), 4);
        answers.push_back(ask(atom("MULTIPLE")));
        answers.push_back(take(atom("FIRST")));
    });
    EXPECT_EQ(answers, (std::vector<std::string>{"5 atoms TARGETS MULTIPLE TIMESTAMP UTF8_STRING STRING", "a time",
                                                 "−2+3=1 é", "-2+3=1 \xE9", "4 atoms UTF8_STRING FIRST PIXMAP None",
                                                 "−2+3=1 é"}));

    // Another program copies: it serves `text` whole or in pieces of 256 KiB (a few, so that the
    // read ends well within its deadline on a busy machine), or never answers.
    enum class Serving { whole, pieces, never };
    // The last read's request; the one of a read given up, whose owner goes on writing pieces.
    XSelectionRequestEvent last{}, abandoned{};
    auto copyElsewhere = [&](const std::string& text, Serving serving) {
        std::promise<void> owning;
        std::atomic<bool> read{false};
        std::thread owner([&] {
            XSetSelectionOwner(other, clipboard, requestor, CurrentTime);
            XSync(other, False);
            owning.set_value();
            XEvent event{};
            if (!eventually([&] { return XCheckTypedEvent(other, SelectionRequest, &event); }) || serving == Serving::never)
                return;
            const XSelectionRequestEvent request = last = event.xselectionrequest;
            XEvent reply{};
            reply.xselection = {SelectionNotify, 0, True, other, request.requestor, clipboard, request.target,
                                request.property, request.time};
            if (serving == Serving::whole) {
                XChangeProperty(other, request.requestor, request.property, request.target, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
                if (abandoned.property != None)
                    XChangeProperty(other, abandoned.requestor, abandoned.property, abandoned.target, 8, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>("2"), 1);
                XSendEvent(other, request.requestor, False, NoEventMask, &reply);
                XSync(other, False);
                return;
            }
            XSelectInput(other, request.requestor, PropertyChangeMask);
            // What is left of the reads before is not this read's taking of a piece.
            XSync(other, False);
            while (XCheckTypedWindowEvent(other, request.requestor, PropertyNotify, &event)) {
            }
            const long size = static_cast<long>(text.size());
            XChangeProperty(other, request.requestor, request.property, incr, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&size), 1);
            XSendEvent(other, request.requestor, False, NoEventMask, &reply);
            XFlush(other);
            // Each piece once the one before was taken; the last one empty. A read that stops
            // early takes no more.
            for (std::size_t sent = 0, piece = 1; piece != 0; sent += piece) {
                const bool taken = eventually([&] {
                    return read.load() || (XCheckTypedWindowEvent(other, request.requestor, PropertyNotify, &event) &&
                                           event.xproperty.atom == request.property &&
                                           event.xproperty.state == PropertyDelete);
                });
                if (!taken || read) return;
                piece = std::min<std::size_t>(text.size() - sent, 1 << 18);
                XChangeProperty(other, request.requestor, request.property, request.target, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(text.data() + sent), static_cast<int>(piece));
                XFlush(other);
            }
        });
        owning.get_future().wait();
        auto pasted = pasteboard.string();
        read = true;
        owner.join();
        return pasted;
    };
    std::string large;
    for (int i = 0; large.size() < 600'000; ++i) large += std::to_string(i) + "+";
    EXPECT_EQ(copyElsewhere("7×6", Serving::whole), "7×6");
    EXPECT_TRUE(copyElsewhere(large, Serving::pieces) == large);
    testing::internal::CaptureStderr();
    const std::size_t mebibyte = host::X11Clipboard::largestText;
    EXPECT_TRUE(copyElsewhere(std::string(mebibyte + 1, '1'), Serving::whole) == std::string(mebibyte, '1'));
    EXPECT_TRUE(copyElsewhere(std::string(mebibyte + 100'000, '2'), Serving::pieces) == std::string(mebibyte, '2'));
    abandoned = last;
    EXPECT_EQ(copyElsewhere("7×6", Serving::whole), "7×6") << "a piece of the read given up was taken";
    abandoned = {};
    EXPECT_EQ(copyElsewhere("9", Serving::never), std::nullopt);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("longer than 1048576 bytes; its start is read"), std::string::npos) << printed;
    EXPECT_NE(printed.find("did not hand its text over within 2 s"), std::string::npos) << printed;
}

}  // namespace
