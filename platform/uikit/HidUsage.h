#pragma once

namespace uikit::hid {

// USB HID usage codes of the keyboard page (0x07): what a key press carries as its key code,
// whatever window system reported the key.
constexpr int a = 4;  // b … z follow: a + 1 … a + 25
constexpr int z = 29;
constexpr int digit1 = 30;  // 2 … 9 follow: digit1 + 1 … digit1 + 8
constexpr int digit0 = 39;
constexpr int returnKey = 40;
constexpr int escape = 41;
constexpr int backspace = 42;
constexpr int tab = 43;
constexpr int space = 44;
constexpr int minus = 45;
constexpr int equals = 46;
constexpr int leftBracket = 47;
constexpr int rightBracket = 48;
constexpr int backslash = 49;
constexpr int semicolon = 51;
constexpr int apostrophe = 52;
constexpr int grave = 53;
constexpr int comma = 54;
constexpr int period = 55;
constexpr int slash = 56;
constexpr int keypadSlash = 84;
constexpr int keypadAsterisk = 85;
constexpr int keypadMinus = 86;
constexpr int keypadPlus = 87;
constexpr int keypadEnter = 88;
constexpr int keypad1 = 89;  // 2 … 9 follow: keypad1 + 1 … keypad1 + 8
constexpr int keypad0 = 98;
constexpr int keypadPeriod = 99;

}  // namespace uikit::hid
