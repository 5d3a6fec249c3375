#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace foundation {
class UserDefaults;
}

namespace ostrelo {

class CalculatorScreen;

// Brings a screen in line with the suite: notation, automatic parentheses and the key click,
// the keypad mode, the angle mode, the two currency rows and the theme. Rows and the angle
// mode that are missing, of another type or (rows) outside the currency list take their
// defaults (degrees; USD to EUR), which are written back.
class SettingsLoader {
public:
    explicit SettingsLoader(CalculatorScreen& screen) : screen_(screen) {}

    void loadSettings();

    // The row stored under `key` when it is an integer that indexes a list of `rows` entries.
    static std::optional<std::int64_t> storedRow(const foundation::UserDefaults& suite, const std::string& key,
                                                 std::size_t rows);

private:
    void readPreferences(const foundation::UserDefaults& suite);
    void readAngleMode(foundation::UserDefaults& suite);
    void readCurrencyRows(foundation::UserDefaults& suite);
    void applyTheme(const foundation::UserDefaults& suite);

    CalculatorScreen& screen_;
};

}  // namespace ostrelo
