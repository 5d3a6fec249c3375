#include "platform/foundation/RunLoop.h"
#include "platform/uikit/HidUsage.h"
#include "platform/host/SdlSoundPlayer.h"
#include "platform/host/WindowHost.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/Pasteboard.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace uikit;

namespace {

using Log = std::vector<std::string>;

struct Screen : ViewController {
    Log* log;
    explicit Screen(Log* log) : log(log) {}
    void viewDidLoad() override {
        view()->setBackgroundColor(Color::rgb(10, 200, 30));
        auto* button = view()->add(std::make_unique<Button>(Rect(20, 100, 100, 60)));
        button->setTitle("7", ControlStateNormal);
        button->addTarget(this, [this](Control&) {
            this->log->push_back("tap");
            AudioServices::playSystemSound(1104);
        }, ControlEventTouchUpInside, lifetime_.weak());
    }
    bool canBecomeFirstResponder() const override { return true; }
    void pressesBegan(const PressSet& presses, const Event* event) override {
        ViewController::pressesBegan(presses, event);
        for (const Press* p : presses)
            if (p->key) log->push_back("key " + p->key->characters + " " + std::to_string(p->key->keyCode));
    }
    void viewWillTransitionToSize(Size size, TransitionCoordinator& coordinator) override {
        log->push_back("size " + std::to_string(int(size.width)) + "x" + std::to_string(int(size.height)));
        ViewController::viewWillTransitionToSize(size, coordinator);
    }
};

struct Delegate : ApplicationDelegate {
    Log* log = nullptr;
    void applicationWillTerminate(Application&) override { log->push_back("terminate"); }
};

using Kind = host::WindowEvent::Kind;

host::WindowEvent pointer(Kind kind, double x, double y) { return {kind, {x, y}, {}}; }

host::WindowEvent key(int usage, const std::string& typed, bool control = false) {
    host::WindowEvent event{Kind::key, {}, {}};
    event.key.usage = usage;
    event.key.unmodified = typed;
    event.key.text = control ? "" : typed;
    event.key.control = control;
    return event;
}

std::string mappedLibraries() {
    std::ifstream maps("/proc/self/maps");
    return std::string(std::istreambuf_iterator<char>(maps), std::istreambuf_iterator<char>());
}

class WindowHostTest : public testsupport::SuiteTest {
protected:
    host::AppDescription app() {
        host::AppDescription description;
        description.name = "ostrelo-test";
        description.makeRootViewController = [this] { return std::make_unique<Screen>(&log); };
        description.makeDelegate = [this] {
            auto delegate = std::make_unique<Delegate>();
            delegate->log = &log;
            return delegate;
        };
        return description;
    }
    Log log;
};

// In an offscreen window with dummy audio, as in CI.
TEST_F(WindowHostTest, AnOffscreenWindowTakesInputDrawsAFrameAndCloses) {
    setenv(host::NativeWindow::systemVariable, "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string error;
    auto window = host::WindowHost::open(app(), error);
    ASSERT_TRUE(window) << error;
    window->launch();
    host::NativeWindow& native = window->nativeWindow();
    EXPECT_EQ(native.options().title, "Ostrelo");
    EXPECT_EQ(native.size(), (Size{375, 667}));

    native.post(pointer(Kind::press, 70, 130));
    native.post(pointer(Kind::release, 70, 130));
    native.post(key(uikit::hid::digit1 + 4, "5"));
    native.post(key(uikit::hid::escape, ""));
    native.post(key(uikit::hid::a + 17, "r", true));
    // Closing the window: queued by work due at the first turn, read at the turn after its frame.
    foundation::RunLoop::main().schedule(0, [&] { native.post({Kind::close, {}, {}}); });
    EXPECT_EQ(window->exec(), 0);

    EXPECT_EQ(log, (Log{"tap", "key 5 34", "key  41", "size 667x375", "terminate"}));
    EXPECT_EQ(window->frames(), 1u);
    EXPECT_EQ(window->wakeUps(), 0u);
    EXPECT_EQ(native.size(), (Size{667, 375}));
    bool fresh = false;
    cairo_surface_t* picture = native.picture(fresh);
    ASSERT_NE(picture, nullptr);
    const std::uint32_t pixel = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(picture))[5 * 667 + 5];
    EXPECT_EQ(pixel & 0xFFFFFF, 0x0AC81Eu);
    // The offscreen window has no clipboard: the text stays in the process.
    Pasteboard::general().setString("2+3=5");
    EXPECT_EQ(Pasteboard::general().string(), "2+3=5");
    EXPECT_TRUE(Pasteboard::general().writes().empty());  // a window keeps no record of its copies
}

TEST_F(WindowHostTest, TheRunnerReportsWrongArgumentsAndAMissingDisplay) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    auto description = app();
    description.acceptsLaunchRequests = true;
    // X11 asked for by name or by default, without a display to open it on, or a window system
    // that does not exist.
    struct Row {
        const char* system;
        std::vector<std::string> arguments;
        int status;
        std::string message;
    } rows[] = {
        {"x11", {"--bogus"}, 2, "usage: ostrelo-test [--shortcut NAME | --continue-activity [FILE] | URL]\n"},
        {"x11", {"--shortcut", "copyResult"}, 1, "ostrelo-test: cannot open a window: no display"},
        {nullptr, {}, 1, "ostrelo-test: cannot open a window: no display"},
        {"wayland", {}, 1, "ostrelo-test: cannot open a window: unknown window system \"wayland\""},
    };
    for (const auto& row : rows) {
        if (row.system != nullptr) setenv(host::NativeWindow::systemVariable, row.system, 1);
        else unsetenv(host::NativeWindow::systemVariable);
        std::vector<char*> argv{const_cast<char*>("ostrelo-test")};
        for (const auto& argument : row.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        testing::internal::CaptureStderr();
        int status = host::WindowHost::run(static_cast<int>(argv.size()), argv.data(), description);
        std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, row.status) << printed;
        EXPECT_EQ(printed.rfind(row.message, 0), 0u) << printed;
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    }
    EXPECT_TRUE(log.empty());
}

// Also through ALSA on a machine without a sound card, whose library has its own complaints.
TEST(SdlSoundPlayerTest, WithoutAnAudioDeviceClicksAreSkippedWithOneLogLine) {
    std::ifstream cards("/proc/asound/cards");
    const std::string listed((std::istreambuf_iterator<char>(cards)), std::istreambuf_iterator<char>());
    const bool soundCard = listed.find('[') != std::string::npos;
    // SDL is loaded by the first click.
    EXPECT_EQ(mappedLibraries().find("libSDL2"), std::string::npos);
    for (const char* driver : {"no-such-driver", "alsa"}) {
        if (std::string(driver) == "alsa" && soundCard) continue;
        setenv("SDL_AUDIODRIVER", driver, 1);
        testing::internal::CaptureStderr();
        {
            host::SdlSoundPlayer player;
            for (unsigned sound : {1104u, 1103u, 1104u, 4095u}) player.play({sound == 4095, sound});
        }
        std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 2) << driver << ": " << printed;
        EXPECT_NE(printed.find("no audio device"), std::string::npos) << printed;
        EXPECT_NE(printed.find("vibration"), std::string::npos) << printed;
    }
    EXPECT_NE(mappedLibraries().find("libSDL2"), std::string::npos);
}

}  // namespace
