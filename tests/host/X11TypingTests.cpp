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
#include <mutex>
#include <thread>

namespace {

using Keys = std::vector<KeySym>;

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
    void TearDown() override {
        server.reset();
        SuiteTest::TearDown();
    }

    // The server's keyboard layout (setxkbmap, before the window opens).
    void setLayout(const std::string& layout) {
        const std::string command = "setxkbmap -display " + server->display() + " " + layout;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    // What the field in system typing holds once the keys were typed (and Return after them).
    std::string type(const Keys& keys) {
        std::string error;
        auto window = host::WindowHost::open(
            host::TextFieldHost::description([] { return std::make_unique<uikit::InputViewController>(); }, {}), error);
        if (!window) {
            ADD_FAILURE() << error;
            return {};
        }
        window->launch();
        auto* field = host::TextFieldHost::controller(window->driver().window());
        field->tapGlobe();
        const Window id = static_cast<host::X11Window&>(window->nativeWindow()).id();
        std::mutex mutex;
        std::string seen;
        bool reading = false;
        std::thread user([&] {
            Display* display = XOpenDisplay(server->display().c_str());
            XWindowAttributes attributes{};
            while (XGetWindowAttributes(display, id, &attributes) && attributes.map_state != IsViewable) usleep(1000);
            XSetInputFocus(display, id, RevertToPointerRoot, CurrentTime);
            for (const KeySym keysym : keys) {
                const KeyCode code = XKeysymToKeycode(display, keysym);
                EXPECT_NE(code, 0) << XKeysymToString(keysym);
                XTestFakeKeyEvent(display, code, True, 0);
                XTestFakeKeyEvent(display, code, False, 0);
            }
            XSync(display, False);
            XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_Return), True, 0);
            XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_Return), False, 0);
            XSync(display, False);
            XCloseDisplay(display);
            // The field is read on the main thread, one reading at a time; the window quits after
            // the last one.
            for (auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
                 std::chrono::steady_clock::now() < deadline; usleep(1000)) {
                std::lock_guard lock(mutex);
                if (seen.ends_with("\n")) break;
                if (reading) continue;
                reading = true;
                foundation::RunLoop::main().post([&] {
                    std::lock_guard lock(mutex);
                    seen = field->fieldText();
                    reading = false;
                });
            }
            foundation::RunLoop::main().post([&] { window->quit(); });
        });
        window->exec();
        user.join();
        return seen.ends_with("\n") ? seen.substr(0, seen.size() - 1) : "(no Return) " + seen;
    }

    std::unique_ptr<testsupport::XServer> server;
};

// A key released and pressed again within one millisecond is pressed twice, not held.
TEST_F(X11TypingTest, IdenticalKeysTypedWithinOneMillisecondAllArrive) {
    EXPECT_EQ(type({XK_1, XK_0, XK_0, XK_5, XK_a, XK_a, XK_b, XK_b, XK_1, XK_1, XK_0, XK_0}), "1005aabb1100");
}

// The letters of the layout the server has, and its dead keys through the locale's compose table.
TEST_F(X11TypingTest, LettersOfEveryLayoutAndDeadKeysTypeTheirText) {
    setLayout("ru");
    EXPECT_EQ(type({XK_Cyrillic_ef, XK_Cyrillic_yeru, XK_Cyrillic_ve, XK_Cyrillic_a}), "фыва");
    setLayout("de");
    EXPECT_EQ(type({XK_dead_acute, XK_e, XK_dead_circumflex, XK_o, XK_ssharp}), "éôß");
}

}  // namespace
