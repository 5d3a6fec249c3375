#include "ui/Theme.h"

#include "engine/SharedSettings.h"

namespace ostrelo {

const std::array<std::string, 2> themeNames = {"Dark", "Light"};

namespace {

using uikit::Color;

struct ThemeValues {
    std::string fontName;
    Color border, pulse, digitBackground, functionBackground, clearKeyBackground, memoryKeyBackground,
        operatorBackground, digitTitle, functionTitle, clearKeyTitle, equalTitle, operatorTitle, memoryKeyTitle,
        memoryFilledTitle, equalBackground, equalErrorBackground, standardBackground, labelText;
    int statusBarStyle = 1;
};

void setDark(ThemeValues& v) {
    v.fontName = "HelveticaNeue-Thin";
    v.border = Color::rgb(0, 0, 0);
    v.pulse = Color::rgb(150, 20, 0);
    v.digitBackground = Color::rgb(64, 64, 64);
    v.functionBackground = Color::rgb(48, 48, 48);
    v.clearKeyBackground = Color::rgb(48, 48, 48);
    v.memoryKeyBackground = Color::rgb(48, 48, 48);
    v.operatorBackground = Color::rgb(48, 48, 48);
    v.digitTitle = Color::rgb(255, 255, 255);
    v.functionTitle = Color::rgb(255, 255, 255);
    v.clearKeyTitle = Color::rgb(200, 20, 0);
    v.equalTitle = Color::rgb(255, 255, 255);
    v.operatorTitle = Color::rgb(255, 255, 255);
    v.memoryKeyTitle = Color::rgb(255, 255, 255);
    v.memoryFilledTitle = Color::rgb(20, 150, 0);
    v.equalBackground = Color::rgb(20, 150, 0);
    v.equalErrorBackground = Color::rgb(150, 20, 0);
    v.standardBackground = Color::rgb(0, 0, 0);
    v.labelText = Color::rgb(255, 255, 255);
    v.statusBarStyle = 1;
}

void setLight(ThemeValues& v) {
    v.fontName = "HelveticaNeue-Thin";
    v.border = Color::rgb(0, 0, 0);
    v.pulse = Color::rgb(150, 20, 0);
    v.digitBackground = Color::rgb(224, 224, 224);
    v.functionBackground = Color::rgb(208, 208, 208);
    v.clearKeyBackground = Color::rgb(64, 128, 192);
    v.memoryKeyBackground = Color::rgb(128, 176, 224);
    v.operatorBackground = Color::rgb(128, 176, 224);
    v.digitTitle = Color::rgb(0, 0, 0);
    v.functionTitle = Color::rgb(0, 0, 0);
    v.clearKeyTitle = Color::rgb(0, 0, 0);
    v.equalTitle = Color::rgb(0, 0, 0);
    v.operatorTitle = Color::rgb(0, 0, 0);
    v.memoryKeyTitle = Color::rgb(0, 0, 0);
    v.memoryFilledTitle = Color::rgb(255, 0, 0);
    v.equalBackground = Color::rgb(128, 192, 64);
    v.equalErrorBackground = Color::rgb(255, 0, 0);
    v.standardBackground = Color::rgb(224, 224, 224);
    v.labelText = Color::rgb(0, 0, 0);
    v.statusBarStyle = 3;
}

// Created once, with the dark values, on first use (thread-safe static initialisation).
ThemeValues& values() {
    static ThemeValues theme = [] {
        ThemeValues v;
        setDark(v);
        return v;
    }();
    return theme;
}

}  // namespace

const Color& borderColor() { return values().border; }
const Color& pulseColor() { return values().pulse; }
const Color& digitBackgroundColor() { return values().digitBackground; }
const Color& functionBackgroundColor() { return values().functionBackground; }
const Color& clearKeyBackgroundColor() { return values().clearKeyBackground; }
const Color& memoryKeyBackgroundColor() { return values().memoryKeyBackground; }
const Color& operatorBackgroundColor() { return values().operatorBackground; }
const Color& digitTitleColor() { return values().digitTitle; }
const Color& functionTitleColor() { return values().functionTitle; }
const Color& clearKeyTitleColor() { return values().clearKeyTitle; }
const Color& equalTitleColor() { return values().equalTitle; }
const Color& operatorTitleColor() { return values().operatorTitle; }
const Color& memoryKeyTitleColor() { return values().memoryKeyTitle; }
const Color& memoryFilledTitleColor() { return values().memoryFilledTitle; }
const Color& equalBackgroundColor() { return values().equalBackground; }
const Color& equalErrorBackgroundColor() { return values().equalErrorBackground; }
const Color& standardBackgroundColor() { return values().standardBackground; }
const Color& labelTextColor() { return values().labelText; }
const std::string& themeFontName() { return values().fontName; }
int themeStatusBarStyle() { return values().statusBarStyle; }

void applyDarkTheme() { setDark(values()); }

void applyLightTheme() { setLight(values()); }

void applyTheme(const std::string& name) {
    if (name == themeNames[0]) {
        applyDarkTheme();
    } else if (name == themeNames[1]) {
        applyLightTheme();
    } else {
        applyDarkTheme();
    }
}

void applySavedTheme() {
    auto suite = SharedSettings::open();
    const bool dark = suite->boolForKey(SharedSettings::darkTheme);
    if (dark) {
        applyDarkTheme();
    } else {
        applyLightTheme();
    }
    // Kept as a bool: written only when the store holds something else, so a start writes nothing.
    if (suite->object(SharedSettings::darkTheme) != foundation::PropertyListValue(dark))
        suite->set(SharedSettings::darkTheme, dark);
    suite->synchronize();
}

}  // namespace ostrelo
