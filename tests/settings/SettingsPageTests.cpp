#include "app/settings/SettingsPage.h"
#include "app/settings/SettingsPageViewController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/HidUsage.h"
#include "platform/host/WindowHost.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>


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

void click(host::WindowHost& window, const uikit::View& view) {
    for (auto kind : {host::WindowEvent::Kind::press, host::WindowEvent::Kind::release})
        window.nativeWindow().post({kind, host::HeadlessHost::centerOf(view), {}});
}

// A letter key and the text it types.
void typeLetter(host::WindowHost& window, char letter) {
    host::WindowEvent key{host::WindowEvent::Kind::key, {}, {}};
    key.key = {uikit::hid::a + (letter - 'a'), std::string(1, letter), std::string(1, letter)};
    window.nativeWindow().post(key);
}

// In an offscreen window with dummy audio, as in CI: closing the window ends editing.
TEST_F(SettingsPageTest, TheRealWindowWritesWhatWasTypedWhenItCloses) {
    setenv(host::NativeWindow::systemVariable, "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string error;
    auto window = host::WindowHost::open(SettingsPage::description(), error);
    ASSERT_TRUE(window) << error;
    window->launch();
    EXPECT_EQ(window->nativeWindow().options().title, "Ostrelo Settings");
    auto& page = dynamic_cast<SettingsPageViewController&>(*window->driver().window().rootViewController());

    click(*window, *page.colorSwitch());
    click(*window, *page.ownCurrencyField());
    for (char letter : std::string("eur")) typeLetter(*window, letter);
    foundation::RunLoop::main().schedule(0, [&] { window->nativeWindow().post({host::WindowEvent::Kind::close, {}, {}}); });
    EXPECT_EQ(window->exec(), 0);
    EXPECT_EQ(storedText(), "eur");
    EXPECT_TRUE(storedColor());
}

}  // namespace
