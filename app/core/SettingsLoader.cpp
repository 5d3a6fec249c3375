#include "app/core/SettingsLoader.h"

#include "app/core/CalculatorScreen.h"
#include "app/core/KeypadModes.h"
#include "engine/Calculator.h"
#include "engine/SharedSettings.h"
#include "ui/CalculatorPicker.h"
#include "ui/Theme.h"

#include <algorithm>

namespace ostrelo {

namespace {

bool boolOr(const foundation::UserDefaults& suite, const std::string& key, bool fallback) {
    return suite.object(key).has_value() ? suite.boolForKey(key) : fallback;
}

std::int64_t rowOf(const std::vector<std::string>& list, const std::string& code) {
    return std::find(list.begin(), list.end(), code) - list.begin();
}

}  // namespace

void SettingsLoader::loadSettings() {
    auto suite = SharedSettings::open();
    readPreferences(*suite);
    KeypadModes{screen_}.updateKeypadMode();
    readAngleMode(*suite);
    readCurrencyRows(*suite);
    const ScreenLinks& links = screen_.links();
    for (CalculatorPicker* picker : {links.fromPicker, links.toPicker})
        if (picker != nullptr) picker->reloadAllComponents();
    applyTheme(*suite);
}

void SettingsLoader::readPreferences(const foundation::UserDefaults& suite) {
    const ScreenLinks& links = screen_.links();
    links.calculator->scientificNotation = boolOr(suite, "preference_notation_phone", false);
    links.calculator->autoParenthesis = boolOr(suite, "preference_autocomplete_phone", true);
    if (links.enableClickSound != nullptr) *links.enableClickSound = boolOr(suite, "preference_sound_phone", false);
}

void SettingsLoader::readAngleMode(foundation::UserDefaults& suite) {
    Calculator& c = *screen_.links().calculator;
    const auto stored = suite.object("radiant");
    if (stored && stored->isBool()) {
        c.radiantFlag = *stored->boolValue();
        return;
    }
    c.radiantFlag = false;
    suite.set("radiant", false);
    suite.synchronize();
}

std::optional<std::int64_t> SettingsLoader::storedRow(const foundation::UserDefaults& suite, const std::string& key,
                                                      std::size_t rows) {
    const auto stored = suite.object(key);
    if (!stored || !stored->isInteger()) return std::nullopt;
    const std::int64_t row = *stored->integerValue();
    if (row < 0 || row >= static_cast<std::int64_t>(rows)) return std::nullopt;
    return row;
}

void SettingsLoader::readCurrencyRows(foundation::UserDefaults& suite) {
    Calculator& c = *screen_.links().calculator;
    const std::pair<std::int64_t*, std::pair<const char*, const char*>> sides[] = {
        {&c.from, {"from", "USD"}}, {&c.to, {"to", "EUR"}}};
    for (const auto& [side, keyAndDefault] : sides) {
        const auto& [key, code] = keyAndDefault;
        if (auto row = storedRow(suite, key, c.currency.size())) {
            *side = *row;
            continue;
        }
        *side = rowOf(c.currency, code);
        suite.set(key, *side);
        suite.synchronize();
    }
}

void SettingsLoader::applyTheme(const foundation::UserDefaults& suite) {
    ::ostrelo::applyTheme(suite.boolForKey("preference_theme_phone") ? "Dark" : "Light");
    screen_.relayoutViews();
}

}  // namespace ostrelo
