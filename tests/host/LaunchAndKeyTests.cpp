#include "platform/uikit/HidUsage.h"
#include "platform/host/KeyboardInput.h"
#include "platform/host/LaunchRequest.h"
#include "platform/host/X11Keyboard.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cstdlib>
#include <filesystem>

using host::KeyboardInput;
using host::LaunchRequest;

namespace {

TEST(LaunchRequestTest, CommandLinesAndTheirTextForTheRunningInstance) {
    using Kind = LaunchRequest::Kind;
    std::string here = std::filesystem::current_path().string();
    struct Row {
        std::vector<std::string> arguments;
        std::optional<LaunchRequest> request;
    } rows[] = {
        {{}, LaunchRequest{}},
        {{"--shortcut", "copyResult"}, LaunchRequest{Kind::shortcut, "org.ostrelo().copyResult"}},
        {{"ostrelo://calculator"}, LaunchRequest{Kind::url, "ostrelo://calculator"}},
        {{"--continue-activity"}, LaunchRequest{Kind::activity, ""}},
        {{"--continue-activity", "saved"}, LaunchRequest{Kind::activity, here + "/saved"}},
        {{"--shortcut"}, std::nullopt},
        {{"--shortcut", "copy result"}, std::nullopt},
        {{"--shortcut", "a", "b"}, std::nullopt},
        {{"--verbose"}, std::nullopt},
        {{"calculator"}, std::nullopt},
        {{"ostrelo://a\nactivate"}, std::nullopt},
        {{"--continue-activity", "a", "b"}, std::nullopt},
        // Only the app's own quick actions and URL scheme.
        {{"--shortcut", "copyresult"}, std::nullopt},
        {{"--shortcut", "bogus"}, std::nullopt},
        {{"http://example.com"}, std::nullopt},
    };
    host::AppDescription app;
    app.bundleIdentifier = "org.ostrelo()";
    app.quickActions = {{"copyResult"}, {"pasteCalculation", true}};
    app.urlScheme = "ostrelo";
    for (const auto& row : rows) {
        std::string shown = row.arguments.empty() ? "(none)" : row.arguments[0];
        auto request = LaunchRequest::fromArguments(row.arguments, app);
        EXPECT_EQ(request, row.request) << shown;
        if (request) {
            EXPECT_EQ(LaunchRequest::decode(request->encode()), request) << shown;
        }
    }
    for (const char* text : {"", "activate now", "shortcut", "shortcut ", "open ostrelo://", "url a\tb", "ACTIVATE"})
        EXPECT_FALSE(LaunchRequest::decode(text).has_value()) << text;
    EXPECT_EQ(LaunchRequest::decode("activity"), (LaunchRequest{Kind::activity, ""}));
}

KeyboardInput::KeyDown keyDown(int usage, const std::string& unmodified, const std::string& text, char modifier = ' ',
                               bool repeat = false) {
    KeyboardInput::KeyDown down{usage, unmodified, text};
    down.shift = modifier == 's';
    down.control = modifier == 'c';
    down.alternate = modifier == 'a';
    down.repeat = repeat;
    return down;
}

TEST(KeyboardInputTest, KeyDownsBecomeOnePressWithCharactersAndUsageCode) {
    using Action = KeyboardInput::Action;
    namespace hid = uikit::hid;
    struct Row {
        const char* name;
        KeyboardInput::KeyDown down;
        Action action;
        std::string characters;
        int keyCode;
        unsigned flags;
    } rows[] = {
        {"digit", keyDown(hid::digit1 + 4, "5", "5"), Action::press, "5", 34, 0},
        {"shifted", keyDown(hid::digit1 + 7, "8", "*", 's'), Action::press, "*", 37, uikit::KeyModifierShift},
        {"keypad", keyDown(hid::keypadPlus, "", "+"), Action::press, "+", 87, 0},
        {"escape", keyDown(hid::escape, "", ""), Action::press, "", 41, 0},
        {"return", keyDown(hid::returnKey, "\r", ""), Action::press, "\r", 40, 0},
        {"enter", keyDown(hid::keypadEnter, "\r", ""), Action::press, "\r", 88, 0},
        {"backspace", keyDown(hid::backspace, "\b", ""), Action::press, "\b", 42, 0},
        {"tab", keyDown(hid::tab, "", ""), Action::press, "", 43, 0},
        {"control", keyDown(hid::a + 2, "c", "", 'c'), Action::press, "", 6, uikit::KeyModifierControl},
        {"control return", keyDown(hid::returnKey, "\r", "", 'c'), Action::press, "", 40, uikit::KeyModifierControl},
        {"alt", keyDown(hid::digit1 + 4, "5", "5", 'a'), Action::press, "", 34, uikit::KeyModifierAlternate},
        {"rotate", keyDown(hid::a + 17, "r", "", 'c'), Action::rotate, "", 0, 0},
        {"repeat", keyDown(hid::digit1 + 4, "5", "5", ' ', true), Action::ignore, "", 0, 0},
    };
    for (const auto& row : rows) {
        auto result = KeyboardInput::translate(row.down);
        EXPECT_EQ(result.action, row.action) << row.name;
        EXPECT_EQ(result.key.characters, row.characters) << row.name;
        EXPECT_EQ(result.key.keyCode, row.keyCode) << row.name;
        EXPECT_EQ(result.key.modifierFlags, row.flags) << row.name;
    }
    EXPECT_EQ(KeyboardInput::translate(keyDown(hid::a + 2, "c", "", 'c')).key.charactersIgnoringModifiers, "c");
}

// X key codes are evdev codes plus 8. A keysym types its own character, in any script; a dead
// key or Compose begins a sequence of the compose table, whose keys type nothing until it ends
// with its text, and a key that breaks a sequence off types nothing either.
TEST(KeyboardInputTest, XKeyCodesAreUsageCodesAndKeysymsTypeTheirTextOrTheirSequences) {
    const std::pair<unsigned, int> codes[] = {
        {9, 41},    {10, 30},   {19, 39},   {14, 34},   {17, 37},  {22, 42},  {23, 43},  {36, 40},  {38, 4},
        {54, 6},    {27, 21},   {52, 29},   {65, 44},   {20, 45},  {21, 46},  {59, 54},  {60, 55},  {61, 56},
        {63, 85},   {82, 86},   {86, 87},   {106, 84},  {104, 88}, {87, 89},  {81, 97},  {90, 98},  {91, 99},
        {125, 103}, {126, 215}, {187, 182}, {188, 183}, {50, 225}, {37, 224}, {64, 226}, {111, 82}, {119, 76},
        {0, 0},     {7, 0},     {255, 0},
    };
    for (const auto& [keycode, usage] : codes) EXPECT_EQ(host::X11Keyboard::usageOf(keycode), usage) << keycode;

    setenv("XCOMPOSEFILE", (testsupport::testDataDirectory() / "XCompose").c_str(), 1);
    const std::pair<std::vector<unsigned long>, std::string> typing[] = {
        {{XK_5}, "5"},
        {{XK_asterisk}, "*"},
        {{XK_eacute}, "é"},
        {{XK_EuroSign}, "€"},
        {{0x10003C0}, "π"},
        {{0x1F600 + 0x1000000}, "😀"},
        {{XK_Cyrillic_ef, XK_Cyrillic_EF}, "фФ"},
        {{XK_Greek_alpha}, "α"},
        {{XK_multiply, XK_division}, "×÷"},
        {{XK_KP_Add, XK_KP_7}, "+7"},
        {{XK_Return, XK_KP_Enter, XK_BackSpace, XK_Escape, XK_Delete, XK_Tab, XK_Shift_L, XK_F1}, ""},
        {{XK_dead_acute, XK_e}, "é"},
        {{XK_dead_acute, XK_Shift_L, XK_E}, "É"},
        {{XK_Multi_key, XK_x, XK_x, XK_Multi_key, XK_colon, XK_minus, XK_Multi_key, XK_minus, XK_underscore}, "×÷−"},
        {{XK_dead_acute, XK_1, XK_2}, "2"},
        {{XK_Multi_key, XK_x, XK_Escape, XK_x}, "x"},
    };
    for (const auto& [keysyms, text] : typing) {
        host::X11Keyboard keyboard;
        std::string typed;
        for (unsigned long keysym : keysyms) typed += keyboard.typed(keysym).value_or("");
        EXPECT_EQ(typed, text) << keysyms.front();
    }
    unsetenv("XCOMPOSEFILE");
}

}  // namespace
