#pragma once

#include "platform/foundation/PropertyListValue.h"

#include <cstdint>
#include <optional>
#include <string>

namespace foundation {
class UserDefaults;
}

namespace ostrelo {

class CalculatorScreen;
struct ScreenProfile;

// Brings a screen in line with the suite, at its load and (most screens) at every activation:
// registers the preference defaults of its profile (reading notation, automatic parentheses
// and the key click right after theirs), chooses the keypad layout, restores the angle mode and
// the two currency rows, keeps the own currency in the currency list, shows the rows on the
// pickers or the currency keys, applies the theme, lays the screen out again and publishes the
// version text. Values that are missing or of another type take their defaults (degrees; USD
// to EUR), which are written back; so does a currency row outside the list once the own
// currency has joined or left it.
class SettingsLoader {
public:
    explicit SettingsLoader(CalculatorScreen& screen) : screen_(screen) {}

    void loadSettings();
    // Every key, the display lines and the status bar lay out again (after a theme change).
    void relayout();

    // The defaults the profile's last registration holds: its keys with their values.
    static foundation::PropertyListValue::Dictionary registeredDefaults(const ScreenProfile& profile);
    // "CFBundleShortVersionString (CFBundleVersion)" of the main bundle; none when either is
    // missing.
    static std::optional<std::string> versionText();

private:
    struct RowChanges {
        bool from = false;
        bool to = false;
    };

    void registerDefaults(foundation::UserDefaults& suite);
    void readAngleMode(foundation::UserDefaults& suite);
    void readCurrencyRows(foundation::UserDefaults& suite);
    RowChanges keepRowsInList(foundation::UserDefaults& suite);
    void showCurrencyRows(RowChanges changes);
    void applyTheme(const foundation::UserDefaults& suite);
    void publishVersion(foundation::UserDefaults& suite);

    CalculatorScreen& screen_;
};

}  // namespace ostrelo
