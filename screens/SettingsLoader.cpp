#include "screens/SettingsLoader.h"

#include "engine/Calculator.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/uikit/ViewController.h"
#include "screens/CalculatorScreen.h"
#include "screens/CurrencyKeys.h"
#include "screens/KeypadModes.h"
#include "screens/OwnCurrency.h"
#include "screens/ScreenProfile.h"
#include "ui/CalculatorPicker.h"
#include "ui/Theme.h"

#include <algorithm>

namespace ostrelo {

namespace {

using foundation::PropertyListValue;

std::int64_t rowOf(const std::vector<std::string>& list, const std::string& code) {
    return std::find(list.begin(), list.end(), code) - list.begin();
}

// The two sides' keys, from-side first.
constexpr SharedSettings::RowKey sides[] = {SharedSettings::from, SharedSettings::to};

bool named(const SharedSettings::Preference& preference, const SharedSettings::Key<bool>& key) {
    return std::string_view(preference.name) == key.name;
}

}  // namespace

void SettingsLoader::loadSettings() {
    const ScreenLinks& links = screen_.links();
    auto suite = SharedSettings::open();
    registerDefaults(*suite);
    if (links.functionKey != nullptr) KeypadModes{screen_}.updateKeypadMode();
    readAngleMode(*suite);
    readCurrencyRows(*suite);
    const OwnCurrency::Moved moved = OwnCurrency{*links.calculator}.update(*suite);
    const RowChanges outside = keepRowsInList(*suite);
    showCurrencyRows({moved.from || outside.from, moved.to || outside.to});
    applyTheme(*suite);
    relayout();
    publishVersion(*suite);
    if (links.controller != nullptr) links.controller->setNeedsStatusBarAppearanceUpdate();
}

void SettingsLoader::relayout() { screen_.relayoutViews(); }

PropertyListValue::Dictionary SettingsLoader::registeredDefaults(const ScreenProfile& profile) {
    PropertyListValue::Dictionary registered;
    for (const SharedSettings::Preference& preference : profile.registeredDefaults)
        registered.emplace(preference.name, preference.fallback);
    return registered;
}

// The screen's preferences registered at once; the three the screen follows are read back.
void SettingsLoader::registerDefaults(foundation::UserDefaults& suite) {
    const ScreenLinks& links = screen_.links();
    suite.registerDefaults(registeredDefaults(*links.profile));
    suite.synchronize();
    for (const SharedSettings::Preference& preference : links.profile->registeredDefaults) {
        if (named(preference, SharedSettings::scientificNotation))
            links.calculator->setScientificNotation(suite.boolForKey(preference.name));
        else if (named(preference, SharedSettings::autoParenthesis))
            links.calculator->setAutoParenthesis(suite.boolForKey(preference.name));
        else if (named(preference, SharedSettings::clickSound) && links.enableClickSound != nullptr)
            *links.enableClickSound = suite.boolForKey(preference.name);
    }
}

void SettingsLoader::readAngleMode(foundation::UserDefaults& suite) {
    Calculator& c = *screen_.links().calculator;
    const auto stored = suite.object(SharedSettings::radiant);
    if (stored && stored->isBool()) {
        c.setRadiantFlag(*stored->boolValue());
        return;
    }
    c.setRadiantFlag(SharedSettings::radiant.fallback);
    suite.set(SharedSettings::radiant, c.radiantFlag());
    suite.synchronize();
}

// A row stored as an integer is taken as it is: it may be the own currency's, which joins the
// list only afterwards.
void SettingsLoader::readCurrencyRows(foundation::UserDefaults& suite) {
    Calculator& c = *screen_.links().calculator;
    std::int64_t rows[2] = {c.from(), c.to()};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto stored = suite.object(sides[i]);
        if (stored && stored->isInteger()) {
            rows[i] = *stored->integerValue();
            continue;
        }
        rows[i] = rowOf(c.currency(), sides[i].fallbackCode);
        suite.set(sides[i], rows[i]);
        suite.synchronize();
    }
    c.chooseCurrencies(rows[0], rows[1]);
}

// Once the list is final, a row outside it (a damaged store) counts as absent.
SettingsLoader::RowChanges SettingsLoader::keepRowsInList(foundation::UserDefaults& suite) {
    Calculator& c = *screen_.links().calculator;
    std::int64_t rows[2] = {c.from(), c.to()};
    bool changed[2] = {false, false};
    for (std::size_t i = 0; i < 2; ++i) {
        if (rows[i] >= 0 && rows[i] < static_cast<std::int64_t>(c.currency().size())) continue;
        rows[i] = rowOf(c.currency(), sides[i].fallbackCode);
        suite.set(sides[i], rows[i]);
        suite.synchronize();
        changed[i] = true;
    }
    c.chooseCurrencies(rows[0], rows[1]);
    return {changed[0], changed[1]};
}

// Pickers are reloaded (the list may have changed) and select the calculator's rows; currency
// keys take the code of a side that changed at the next turn of the main queue.
void SettingsLoader::showCurrencyRows(RowChanges changes) {
    const ScreenLinks& links = screen_.links();
    const Calculator& c = *links.calculator;
    const std::pair<CalculatorPicker*, std::int64_t> pickers[] = {{links.fromPicker, c.from()},
                                                                   {links.toPicker, c.to()}};
    for (const auto& [picker, row] : pickers) {
        if (picker == nullptr) continue;
        picker->reloadAllComponents();
        picker->selectRow(static_cast<int>(row), 0, false);
    }
    if (changes.from && links.fromKey != nullptr) CurrencyKeys::queue(screen_, &CurrencyKeys::setConvertFromTitle);
    if (changes.to && links.toKey != nullptr) CurrencyKeys::queue(screen_, &CurrencyKeys::setConvertToTitle);
}

void SettingsLoader::applyTheme(const foundation::UserDefaults& suite) {
    ::ostrelo::applyTheme(suite.boolForKey(SharedSettings::darkTheme) ? "Dark" : "Light");
}

std::optional<std::string> SettingsLoader::versionText() {
    const auto& bundle = foundation::Bundle::mainBundle();
    const auto shortVersion = bundle.objectForInfoDictionaryKey("CFBundleShortVersionString");
    const auto build = bundle.objectForInfoDictionaryKey("CFBundleVersion");
    if (!shortVersion || !shortVersion->stringValue() || !build || !build->stringValue()) return std::nullopt;
    return *shortVersion->stringValue() + " (" + *build->stringValue() + ")";
}

void SettingsLoader::publishVersion(foundation::UserDefaults& suite) {
    const auto text = versionText();
    if (!text) {
        foundation::Log::error("settings: the bundle has no version texts");
        return;
    }
    // Written when they differ only: an activation on a store that takes no writes writes nothing.
    if (suite.stringForKey(SharedSettings::version) != *text) suite.set(SharedSettings::version, *text);
    suite.synchronize();
    auto watch = SharedSettings::open();
    if (watch->stringForKey(SharedSettings::watchVersion) != *text) watch->set(SharedSettings::watchVersion, *text);
    watch->synchronize();
    suite.synchronize();
}

}  // namespace ostrelo
