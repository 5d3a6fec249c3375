#pragma once

#include "platform/uikit/Color.h"

#include <array>
#include <string>

namespace ostrelo {

// The look of every keypad and display: eighteen colours, the font name and the status-bar
// style, process-wide. Every value holds its dark value until a theme is applied. Views read the
// values at each layout; applying a theme touches no view.

const uikit::Color& borderColor();
const uikit::Color& pulseColor();
const uikit::Color& digitBackgroundColor();
const uikit::Color& functionBackgroundColor();
const uikit::Color& clearKeyBackgroundColor();
const uikit::Color& memoryKeyBackgroundColor();
const uikit::Color& operatorBackgroundColor();
const uikit::Color& digitTitleColor();
const uikit::Color& functionTitleColor();
const uikit::Color& clearKeyTitleColor();
const uikit::Color& equalTitleColor();
const uikit::Color& operatorTitleColor();
const uikit::Color& memoryKeyTitleColor();
const uikit::Color& memoryFilledTitleColor();
const uikit::Color& equalBackgroundColor();
const uikit::Color& equalErrorBackgroundColor();
const uikit::Color& standardBackgroundColor();
const uikit::Color& labelTextColor();

const std::string& themeFontName();
// 1 (light content) in the dark theme, 3 (dark content) in the light theme.
int themeStatusBarStyle();

// The two theme names, in this order.
extern const std::array<std::string, 2> themeNames;

void applyDarkTheme();
void applyLightTheme();
// "Dark" or "Light" exactly; any other name gives the dark theme.
void applyTheme(const std::string& name);
// The theme of the stored Bool SharedSettings::darkTheme (dark when true), which is then
// written back so that an absent key becomes a stored false.
void applySavedTheme();

}  // namespace ostrelo
