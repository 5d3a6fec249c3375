#include "app/settings/SettingsPage.h"
#include "app/settings/SettingsPageViewController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/WindowHost.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

using ostrelo::SettingsPage;
using ostrelo::SettingsPageViewController;

namespace {

constexpr const char* ownCurrencyKey = "preference_own_currency";
constexpr const char* colorKey = "preference_color";

class SettingsPageTest : public testsupport::SuiteTest {
protected:
    std::optional<std::string> storedText(const std::string& key) const {
        auto value = foundation::UserDefaults().object(key);
        return value ? value->stringValue() : std::nullopt;
    }
    std::optional<bool> storedFlag(const std::string& key) const {
        auto value = foundation::UserDefaults().object(key);
        return value ? value->boolValue() : std::nullopt;
    }
    void store(const std::string& key, const foundation::PropertyListValue& value) {
        ASSERT_TRUE(foundation::UserDefaults().set(key, value));
    }
};

// The window as it opens on a desktop, at twice its size in pixels.
host::DeviceProfile pageWindow() {
    host::DeviceProfile profile;
    profile.name = "settings window";
    profile.portraitSize = SettingsPage::description().size;
    profile.scale = 2;
    return profile;
}

TEST_F(SettingsPageTest, TheFieldIsWrittenWhenEditingEndsAndTheSwitchAtOnce) {
    store(ownCurrencyKey, "xag");
    store(colorKey, true);
    host::HeadlessHost host(pageWindow());
    host.launch(SettingsPage::description());
    auto& page = dynamic_cast<SettingsPageViewController&>(*host.rootViewController());
    const auto field = host::HeadlessHost::centerOf(*page.ownCurrencyField());
    EXPECT_EQ(page.ownCurrencyField()->text(), "xag");
    EXPECT_TRUE(page.colorSwitch()->isOn());

    host.tap(field);
    for (const char* key : {"\b", "\b", "\b", "X", "A", "U"}) host.pressKey(key);
    EXPECT_EQ(storedText(ownCurrencyKey), "xag") << "written while typing";
    host.pressKey("\r", 40);
    EXPECT_EQ(storedText(ownCurrencyKey), "XAU") << "Return";

    // Ways of leaving the field; each writes what it holds then.
    struct Row {
        const char* name;
        const char* typed;
        std::function<void()> leave;
        const char* written;
    } rows[] = {
        {"a touch elsewhere", "x", [&] { host.tap({20, 180}); }, "XAUx"},
        {"the window losing the focus", "\b", [&] { host.resignActive(); }, "XAU"},
    };
    for (const auto& row : rows) {
        host.becomeActive();
        host.tap(field);
        host.pressKey(row.typed);
        row.leave();
        EXPECT_EQ(storedText(ownCurrencyKey), row.written) << row.name;
        EXPECT_FALSE(page.ownCurrencyField()->isEditing()) << row.name;
    }

    host.becomeActive();
    host.tap(host::HeadlessHost::centerOf(*page.colorSwitch()));
    EXPECT_EQ(storedFlag(colorKey), false);
    host.tap(host::HeadlessHost::centerOf(*page.colorSwitch()));
    EXPECT_EQ(storedFlag(colorKey), true);

    host.tap(field);
    const std::filesystem::path snapshots = OSTRELO_SNAPSHOT_DIR;
    std::filesystem::create_directories(snapshots);
    EXPECT_TRUE(host.writeSnapshot(snapshots / "ostrelo-settings.png"));
}

void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

SDL_Event click(Uint32 type, uikit::Point point) {
    SDL_Event event{};
    event.type = type;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.x = static_cast<Sint32>(point.x);
    event.button.y = static_cast<Sint32>(point.y);
    return event;
}

void typeKey(SDL_Scancode scancode, SDL_Keycode sym, const char* text) {
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym = {scancode, sym, KMOD_NONE, 0};
    push(key);
    SDL_Event input{};
    input.type = SDL_TEXTINPUT;
    std::strncpy(input.text.text, text, sizeof input.text.text - 1);
    push(input);
}

// With SDL's offscreen video driver and dummy audio, as in CI: closing the window ends editing.
TEST_F(SettingsPageTest, TheRealWindowWritesWhatWasTypedWhenItCloses) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string error;
    auto window = host::WindowHost::open(SettingsPage::description(), error);
    ASSERT_TRUE(window) << error;
    window->launch();
    EXPECT_EQ(std::string(SDL_GetWindowTitle(window->sdlWindow())), "Ostrelo Settings");
    auto& page = dynamic_cast<SettingsPageViewController&>(*window->driver().window().rootViewController());

    for (auto* control : {static_cast<uikit::View*>(page.colorSwitch()), static_cast<uikit::View*>(page.ownCurrencyField())}) {
        push(click(SDL_MOUSEBUTTONDOWN, host::HeadlessHost::centerOf(*control)));
        push(click(SDL_MOUSEBUTTONUP, host::HeadlessHost::centerOf(*control)));
    }
    typeKey(SDL_SCANCODE_E, SDLK_e, "e");
    typeKey(SDL_SCANCODE_U, SDLK_u, "u");
    typeKey(SDL_SCANCODE_R, SDLK_r, "r");
    foundation::RunLoop::main().schedule(0, [&] {
        SDL_Event close{};
        close.type = SDL_WINDOWEVENT;
        close.window.event = SDL_WINDOWEVENT_CLOSE;
        close.window.windowID = SDL_GetWindowID(window->sdlWindow());
        push(close);
    });
    EXPECT_EQ(window->exec(), 0);
    EXPECT_EQ(storedText(ownCurrencyKey), "eur");
    EXPECT_EQ(storedFlag(colorKey), true);
}

}  // namespace
