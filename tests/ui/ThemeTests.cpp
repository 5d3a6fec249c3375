#include "platform/foundation/UserDefaults.h"
#include "tests/support/TestEnvironment.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>

using namespace ostrelo;
using uikit::Color;

namespace {

struct Expected {
    const Color& (*value)();
    Color dark;
    Color light;
};

std::vector<Expected> table() {
    auto c = Color::rgb;
    return {
        {borderColor, c(0, 0, 0), c(0, 0, 0)},
        {pulseColor, c(150, 20, 0), c(150, 20, 0)},
        {digitBackgroundColor, c(64, 64, 64), c(224, 224, 224)},
        {functionBackgroundColor, c(48, 48, 48), c(208, 208, 208)},
        {clearKeyBackgroundColor, c(48, 48, 48), c(64, 128, 192)},
        {memoryKeyBackgroundColor, c(48, 48, 48), c(128, 176, 224)},
        {operatorBackgroundColor, c(48, 48, 48), c(128, 176, 224)},
        {digitTitleColor, c(255, 255, 255), c(0, 0, 0)},
        {functionTitleColor, c(255, 255, 255), c(0, 0, 0)},
        {clearKeyTitleColor, c(200, 20, 0), c(0, 0, 0)},
        {equalTitleColor, c(255, 255, 255), c(0, 0, 0)},
        {operatorTitleColor, c(255, 255, 255), c(0, 0, 0)},
        {memoryKeyTitleColor, c(255, 255, 255), c(0, 0, 0)},
        {memoryFilledTitleColor, c(20, 150, 0), c(255, 0, 0)},
        {equalBackgroundColor, c(20, 150, 0), c(128, 192, 64)},
        {equalErrorBackgroundColor, c(150, 20, 0), c(255, 0, 0)},
        {standardBackgroundColor, c(0, 0, 0), c(224, 224, 224)},
        {labelTextColor, c(255, 255, 255), c(0, 0, 0)},
    };
}

void expectTheme(bool dark) {
    const auto values = table();
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].value(), dark ? values[i].dark : values[i].light) << "colour " << i;
        EXPECT_EQ(values[i].value().alpha, 1.0);
    }
    EXPECT_EQ(themeStatusBarStyle(), dark ? 1 : 3);
    EXPECT_EQ(themeFontName(), "HelveticaNeue-Thin");
}

}  // namespace

TEST(Theme, DarkBeforeAnyThemeAndChannelsAreEighthBitFractions) {
    expectTheme(true);
    EXPECT_DOUBLE_EQ(pulseColor().red, 150 / 255.0);
    EXPECT_EQ(pulseColor().red, 0.5882352941176471);
    EXPECT_EQ(themeNames[0], "Dark");
    EXPECT_EQ(themeNames[1], "Light");
}

TEST(Theme, ThemeByNameIsExactAndEverythingElseIsDark) {
    applyTheme("Light");
    expectTheme(false);
    for (const char* name : {"Dark", "", "light", "Blue", "Light "}) {
        applyTheme("Light");
        applyTheme(name);
        expectTheme(true);
    }
    applyLightTheme();
    applyLightTheme();
    expectTheme(false);
    applyDarkTheme();
    expectTheme(true);
}

class SavedTheme : public testsupport::SuiteTest {};

TEST_F(SavedTheme, AbsentPreferenceGivesLightAndIsStoredFalse) {
    applyDarkTheme();
    applySavedTheme();
    expectTheme(false);
    foundation::UserDefaults defaults;
    auto stored = defaults.object("preference_theme_phone");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->boolValue(), std::optional<bool>(false));

    defaults.set("preference_theme_phone", foundation::PropertyListValue(true));
    applySavedTheme();
    expectTheme(true);
    EXPECT_EQ(foundation::UserDefaults().object("preference_theme_phone")->boolValue(), std::optional<bool>(true));
}
