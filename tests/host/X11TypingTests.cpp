// Typing from the computer into the keyboard's host field on a private X server. A second client
// presses and releases keys through XTest, as typing tools do: all of a text's keys at once, so
// that the server handles a key's release and the next press of it within one millisecond.
#include "platform/foundation/RunLoop.h"
#include "platform/host/TextFieldHost.h"
#include "platform/host/WindowHost.h"
#include "platform/host/X11Window.h"
#include "platform/uikit/InputViewController.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/XServer.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

namespace {

class X11TypingTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        if (!testsupport::XServer::installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs it)";
        server = std::make_unique<testsupport::XServer>();
        ASSERT_FALSE(server->display().empty()) << server->failure();
        setenv("DISPLAY", server->display().c_str(), 1);
        setenv(host::NativeWindow::systemVariable, "x11", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("XCOMPOSEFILE");
    }

    // The server's keyboard layout, before the window opens.
    void setLayout(const std::string& layout) {
        ASSERT_EQ(std::system(("setxkbmap -display " + server->display() + " " + layout).c_str()), 0) << layout;
    }

    // What the field holds, in system typing, once the keys and then Return were typed.
    std::string type(const std::vector<KeySym>& keys) {
        std::string error;
        auto window = host::WindowHost::open(
            host::TextFieldHost::description([] { return std::make_unique<uikit::InputViewController>(); }, {}), error);
        if (!window) return "no window: " + error;
        window->launch();
        auto* field = host::TextFieldHost::controller(window->driver().window());
        field->tapGlobe();
        const foundation::Lifetime alive;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        std::function<void()> check = [&] {
            if (field->fieldText().ends_with("\n") || std::chrono::steady_clock::now() > deadline) window->quit();
            else foundation::RunLoop::main().perform(&alive, alive.weak(), 0.001, check);
        };
        check();
        const Window id = static_cast<host::X11Window&>(window->nativeWindow()).id();
        std::thread user([&] {
            Display* display = XOpenDisplay(server->display().c_str());
            XWindowAttributes attributes{};
            while (XGetWindowAttributes(display, id, &attributes) && attributes.map_state != IsViewable) usleep(1000);
            XSetInputFocus(display, id, RevertToPointerRoot, CurrentTime);
            auto press = [&](KeySym keysym) {
                XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), True, 0);
                XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), False, 0);
            };
            for (const KeySym keysym : keys) press(keysym);
            XSync(display, False);
            press(XK_Return);
            XCloseDisplay(display);
        });
        window->exec();
        user.join();
        return field->fieldText();
    }

    std::unique_ptr<testsupport::XServer> server;
};

// A key released and pressed again within one millisecond is pressed twice, not held.
TEST_F(X11TypingTest, IdenticalKeysTypedWithinOneMillisecondAllArrive) {
    EXPECT_EQ(type({XK_1, XK_0, XK_0, XK_5, XK_a, XK_a, XK_b, XK_b, XK_1, XK_1, XK_0, XK_0}), "1005aabb1100\n");
}

// The letters of the layout the server has, and its dead keys through the locale's compose table.
TEST_F(X11TypingTest, LettersOfEveryLayoutAndDeadKeysTypeTheirText) {
    setLayout("ru");
    EXPECT_EQ(type({XK_Cyrillic_ef, XK_Cyrillic_yeru, XK_Cyrillic_ve, XK_Cyrillic_a}), "фыва\n");
    setLayout("de");
    EXPECT_EQ(type({XK_dead_acute, XK_e, XK_dead_circumflex, XK_o, XK_ssharp}), "éôß\n");
}

}  // namespace
