#include "platform/foundation/RunLoop.h"
#include "platform/host/SdlSoundPlayer.h"
#include "platform/host/WindowHost.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/Pasteboard.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
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

void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

SDL_Event mouse(Uint32 type, int x, int y) {
    SDL_Event event{};
    event.type = type;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.x = x;
    event.button.y = y;
    return event;
}

SDL_Event key(SDL_Scancode scancode, SDL_Keycode sym, Uint16 modifiers = KMOD_NONE) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym = {scancode, sym, modifiers, 0};
    return event;
}

SDL_Event text(const char* characters) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, characters, sizeof event.text.text - 1);
    return event;
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

// With SDL's offscreen video driver and dummy audio, as in CI.
TEST_F(WindowHostTest, AnOffscreenWindowTakesInputDrawsAFrameAndCloses) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string error;
    auto window = host::WindowHost::open(app(), error);
    ASSERT_TRUE(window) << error;
    window->launch();
    int w = 0, h = 0;
    SDL_GetWindowSize(window->sdlWindow(), &w, &h);
    EXPECT_EQ(std::string(SDL_GetWindowTitle(window->sdlWindow())), "Ostrelo");
    EXPECT_EQ(w, 375);
    EXPECT_EQ(h, 667);

    push(mouse(SDL_MOUSEBUTTONDOWN, 70, 130));
    push(mouse(SDL_MOUSEBUTTONUP, 70, 130));
    push(key(SDL_SCANCODE_5, SDLK_5));
    push(text("5"));
    push(key(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
    push(key(SDL_SCANCODE_R, SDLK_r, KMOD_LCTRL));
    // Closing the window: queued by work due at the first turn, read at the turn after its frame.
    foundation::RunLoop::main().schedule(0, [&] {
        SDL_Event close{};
        close.type = SDL_WINDOWEVENT;
        close.window.event = SDL_WINDOWEVENT_CLOSE;
        close.window.windowID = SDL_GetWindowID(window->sdlWindow());
        push(close);
    });
    EXPECT_EQ(window->exec(), 0);

    EXPECT_EQ(log, (Log{"tap", "key 5 34", "key  41", "size 667x375", "terminate"}));
    EXPECT_EQ(window->frames(), 1u);
    EXPECT_EQ(window->wakeUps(), 0u);
    SDL_GetWindowSize(window->sdlWindow(), &w, &h);
    EXPECT_EQ(w, 667);
    SDL_Surface* surface = SDL_GetWindowSurface(window->sdlWindow());
    ASSERT_NE(surface, nullptr);
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(static_cast<const Uint32*>(surface->pixels)[5 * surface->pitch / 4 + 5], surface->format, &r, &g, &b);
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{10, 200, 30}));
    // The offscreen driver has no clipboard: the text stays in the process.
    Pasteboard::general().setString("2+3=5");
    EXPECT_EQ(Pasteboard::general().string(), "2+3=5");
    EXPECT_TRUE(Pasteboard::general().writes().empty());  // a window keeps no record of its copies
}

TEST_F(WindowHostTest, TheRunnerReportsWrongArgumentsAndAMissingDisplay) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    auto description = app();
    description.acceptsLaunchRequests = true;
    // A driver asked for by name, or none: SDL then falls back to drawing offscreen, which is
    // no display either (with or without a runtime directory where a display could be found).
    struct Row {
        const char* driver;
        bool runtimeDirectory;
        std::vector<std::string> arguments;
        int status;
        std::string message;
    } rows[] = {
        {"x11", false, {"--bogus"}, 2, "usage: ostrelo-test [--shortcut NAME | --continue-activity [FILE] | URL]\n"},
        {"x11", false, {"--shortcut", "copyResult"}, 1, "ostrelo-test: cannot open a window: "},
        {nullptr, false, {"--shortcut", "copyResult"}, 1, "ostrelo-test: cannot open a window: "},
        {nullptr, true, {}, 1, "ostrelo-test: cannot open a window: "},
    };
    for (const auto& row : rows) {
        if (row.driver != nullptr) setenv("SDL_VIDEODRIVER", row.driver, 1);
        else unsetenv("SDL_VIDEODRIVER");
        if (row.runtimeDirectory) setenv("XDG_RUNTIME_DIR", groupDirectory().c_str(), 1);
        else unsetenv("XDG_RUNTIME_DIR");
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
}

}  // namespace
