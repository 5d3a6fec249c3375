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
#include <filesystem>
#include <thread>

using ostrelo::SettingsPage;
using ostrelo::SettingsPageViewController;

namespace {

constexpr const char* ownCurrencyKey = "preference_own_currency";
constexpr const char* colorKey = "preference_color";

using SettingsPageTest = testsupport::SuiteTest;

std::optional<std::string> storedText() { return foundation::UserDefaults().stringForKey(ownCurrencyKey); }
bool storedColor() { return foundation::UserDefaults().boolForKey(colorKey); }

// The window as it opens on a desktop, at twice its size in pixels.
host::DeviceProfile pageWindow() {
    host::DeviceProfile profile;
    profile.name = "settings window";
    profile.portraitSize = SettingsPage::description().size;
    profile.scale = 2;
    return profile;
}

TEST_F(SettingsPageTest, TheFieldIsWrittenWhenEditingEndsAndTheSwitchAtOnce) {
    foundation::UserDefaults().set(ownCurrencyKey, "xag");
    foundation::UserDefaults().set(colorKey, true);
    host::HeadlessHost host(pageWindow());
    host.launch(SettingsPage::description());
    auto& page = dynamic_cast<SettingsPageViewController&>(*host.rootViewController());
    const auto field = host::HeadlessHost::centerOf(*page.ownCurrencyField());
    EXPECT_EQ(page.ownCurrencyField()->text(), "xag");
    EXPECT_TRUE(page.colorSwitch()->isOn());

    host.tap(field);
    for (const char* key : {"\b", "\b", "\b", "X", "A", "U"}) host.pressKey(key);
    EXPECT_EQ(storedText(), "xag") << "written while typing";
    host.pressKey("\r", 40);
    EXPECT_EQ(storedText(), "XAU");
    host.tap(field);
    host.pressKey("\b");
    host.resignActive();  // the window loses the focus
    EXPECT_EQ(storedText(), "XA");
    EXPECT_FALSE(page.ownCurrencyField()->isEditing());

    host.becomeActive();
    host.tap(host::HeadlessHost::centerOf(*page.colorSwitch()));
    EXPECT_FALSE(storedColor());
    host.tap(host::HeadlessHost::centerOf(*page.colorSwitch()));
    EXPECT_TRUE(storedColor());

    host.tap(field);
    host.pressKey("U");
    const std::filesystem::path snapshots = OSTRELO_SNAPSHOT_DIR;
    std::filesystem::create_directories(snapshots);
    EXPECT_TRUE(host.writeSnapshot(snapshots / "ostrelo-settings.png"));
}

// Another program's writes (on a connection of their own) show at the page's activation, and
// before the page writes its other control; a field being edited keeps what is typed.
TEST_F(SettingsPageTest, WhatAnotherProgramStoredShowsAtActivationAndBeforeAWrite) {
    const auto elsewhere = [](const char* key, const foundation::PropertyListValue& value) {
        std::thread([&] { foundation::UserDefaults().set(key, value); }).join();
    };
    host::HeadlessHost host(pageWindow());
    host.launch(SettingsPage::description());
    auto& page = dynamic_cast<SettingsPageViewController&>(*host.rootViewController());
    elsewhere(colorKey, true);
    host.becomeActive();
    EXPECT_TRUE(page.colorSwitch()->isOn());
    elsewhere(ownCurrencyKey, "XPT");
    host.tap(host::HeadlessHost::centerOf(*page.colorSwitch()));
    EXPECT_EQ(page.ownCurrencyField()->text(), "XPT");
    host.tap(host::HeadlessHost::centerOf(*page.ownCurrencyField()));
    host.pressKey("\b");
    elsewhere(ownCurrencyKey, "XPD");
    elsewhere(colorKey, true);
    host.pressKey("\r", 40);
    EXPECT_EQ(storedText(), "XP");
    EXPECT_TRUE(page.colorSwitch()->isOn());
}

void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

void click(const uikit::View& view) {
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        SDL_Event event{};
        event.type = type;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.x = static_cast<Sint32>(host::HeadlessHost::centerOf(view).x);
        event.button.y = static_cast<Sint32>(host::HeadlessHost::centerOf(view).y);
        push(event);
    }
}

// A letter key and the text input SDL makes of it.
void typeLetter(char letter) {
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym = {SDL_Scancode(SDL_SCANCODE_A + letter - 'a'), SDL_Keycode(letter), KMOD_NONE, 0};
    push(key);
    SDL_Event input{};
    input.type = SDL_TEXTINPUT;
    input.text.text[0] = letter;
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

    click(*page.colorSwitch());
    click(*page.ownCurrencyField());
    for (char letter : std::string("eur")) typeLetter(letter);
    foundation::RunLoop::main().schedule(0, [&] {
        SDL_Event close{};
        close.type = SDL_WINDOWEVENT;
        close.window.event = SDL_WINDOWEVENT_CLOSE;
        close.window.windowID = SDL_GetWindowID(window->sdlWindow());
        push(close);
    });
    EXPECT_EQ(window->exec(), 0);
    EXPECT_EQ(storedText(), "eur");
    EXPECT_TRUE(storedColor());
}

}  // namespace
