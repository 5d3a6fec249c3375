#include "platform/host/LaunchRequest.h"
#include "platform/host/SdlKeyboard.h"

#include <gtest/gtest.h>

#include <filesystem>

using host::LaunchRequest;
using host::SdlKeyboard;

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
    };
    for (const auto& row : rows) {
        std::string shown = row.arguments.empty() ? "(none)" : row.arguments[0];
        auto request = LaunchRequest::fromArguments(row.arguments, "org.ostrelo()");
        EXPECT_EQ(request, row.request) << shown;
        if (request) {
            EXPECT_EQ(LaunchRequest::decode(request->encode()), request) << shown;
        }
    }
    for (const char* text : {"", "activate now", "shortcut", "shortcut ", "open ostrelo://", "url a\tb", "ACTIVATE"})
        EXPECT_FALSE(LaunchRequest::decode(text).has_value()) << text;
    EXPECT_EQ(LaunchRequest::decode("activity"), (LaunchRequest{Kind::activity, ""}));
}

SDL_KeyboardEvent keyDown(SDL_Scancode scancode, SDL_Keycode sym, Uint16 modifiers = KMOD_NONE, Uint8 repeat = 0) {
    SDL_KeyboardEvent event{};
    event.type = SDL_KEYDOWN;
    event.state = SDL_PRESSED;
    event.repeat = repeat;
    event.keysym.scancode = scancode;
    event.keysym.sym = sym;
    event.keysym.mod = modifiers;
    return event;
}

TEST(SdlKeyboardTest, KeyDownsBecomeOnePressWithCharactersAndUsageCode) {
    using Action = SdlKeyboard::Action;
    struct Row {
        const char* name;
        SDL_KeyboardEvent event;
        std::string text;
        Action action;
        std::string characters;
        int keyCode;
        unsigned flags;
    } rows[] = {
        {"digit", keyDown(SDL_SCANCODE_5, SDLK_5), "5", Action::press, "5", 34, 0},
        {"shifted", keyDown(SDL_SCANCODE_8, SDLK_8, KMOD_LSHIFT), "*", Action::press, "*", 37, uikit::KeyModifierShift},
        {"keypad", keyDown(SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS), "+", Action::press, "+", 87, 0},
        {"escape", keyDown(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE), "", Action::press, "", 41, 0},
        {"return", keyDown(SDL_SCANCODE_RETURN, SDLK_RETURN), "", Action::press, "\r", 40, 0},
        {"enter", keyDown(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER), "", Action::press, "\r", 88, 0},
        {"backspace", keyDown(SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE), "", Action::press, "\b", 42, 0},
        {"control", keyDown(SDL_SCANCODE_C, SDLK_c, KMOD_LCTRL), "", Action::press, "", 6, uikit::KeyModifierControl},
        {"control return", keyDown(SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_RCTRL), "", Action::press, "", 40, uikit::KeyModifierControl},
        {"alt", keyDown(SDL_SCANCODE_5, SDLK_5, KMOD_LALT), "5", Action::press, "", 34, uikit::KeyModifierAlternate},
        {"rotate", keyDown(SDL_SCANCODE_R, SDLK_r, KMOD_LCTRL), "", Action::rotate, "", 0, 0},
        {"repeat", keyDown(SDL_SCANCODE_5, SDLK_5, KMOD_NONE, 1), "5", Action::ignore, "", 0, 0},
    };
    for (const auto& row : rows) {
        auto result = SdlKeyboard::translate(row.event, row.text);
        EXPECT_EQ(result.action, row.action) << row.name;
        EXPECT_EQ(result.key.characters, row.characters) << row.name;
        EXPECT_EQ(result.key.keyCode, row.keyCode) << row.name;
        EXPECT_EQ(result.key.modifierFlags, row.flags) << row.name;
    }
    EXPECT_EQ(SdlKeyboard::translate(keyDown(SDL_SCANCODE_C, SDLK_c, KMOD_LCTRL), "").key.charactersIgnoringModifiers, "c");
}

}  // namespace
