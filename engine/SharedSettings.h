#pragma once

#include "platform/foundation/PropertyListValue.h"
#include "platform/foundation/UserDefaults.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace ostrelo {

// The app-group suite that every program of the group shares, and every key stored in it: its
// name, the kind of value it holds and what it counts as while it is absent. No other file
// spells a key; the keys made of parts (the stacks' line keys, the rate keys) are made here.
//
// The suite is opened afresh for every access (open), so that each access sees the group
// directory and the batch of writes of its own moment. Header only: the interface kit reads its
// two preferences through it without linking the engine.
class SharedSettings {
public:
    // A key holding values of type T: bool, std::int64_t, double, or text (const char*).
    // `fallback` is what an absent value counts as; for a preference it is the value a loader
    // registers.
    template <class T>
    struct Key {
        const char* name;
        T fallback;
        operator std::string() const { return name; }
    };

    // A key holding a row of the currency list (an integer); absent, the row of `fallbackCode`.
    struct RowKey {
        const char* name;
        const char* fallbackCode;
        operator std::string() const { return name; }
    };

    // One preference as a loader registers it: its name and its default, of any kind.
    struct Preference {
        template <class T>
        Preference(const Key<T>& key) : name(key.name), fallback(key.fallback) {}
        const char* name;
        foundation::PropertyListValue fallback;
    };

    // A stack written line by line: its count key and the line keys prefix + "1", prefix + "2", ...
    struct LineKeys {
        Key<std::int64_t> count;
        std::string_view prefix;

        std::string line(std::int64_t index) const { return std::string(prefix) + std::to_string(index); }
        // The number a line key of this stack carries (decimal digits without a leading 0, at
        // most 19 of them); none for every other key.
        std::optional<std::uint64_t> lineIndex(std::string_view key) const {
            if (key.size() <= prefix.size() || key.substr(0, prefix.size()) != prefix) return std::nullopt;
            const std::string_view digits = key.substr(prefix.size());
            if (digits[0] == '0' || digits.size() > 19) return std::nullopt;
            if (digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
            std::uint64_t index = 0;
            for (const char digit : digits) index = index * 10 + static_cast<std::uint64_t>(digit - '0');
            return index;
        }
    };

    // ---- The calculation (written by the engine) --------------------------------------------
    static constexpr LineKeys calculationLines{{"count", 0}, ""};
    static constexpr LineKeys memoryLines{{"memory", 0}, "m"};
    // Set by the Settings screen's reset: the next calculator starts empty and clears it.
    static constexpr Key<bool> reset{"reset", false};
    static constexpr Key<bool> dateCalculator{"dateCalculator", false};
    static constexpr Key<std::int64_t> dateDigits{"dateDigits", 0};

    // ---- The exchange rates (written by the rate download and the own-rate keys) ------------
    // The feed's date of the stored rates, "yyyy-MM-dd".
    static constexpr Key<const char*> ratesDate{"EUR_date", ""};
    // The date of one currency's stored rate.
    static std::string rateDate(const std::string& code) { return code + "_date"; }
    // The units of `to` one unit of `from` is worth (a double).
    static std::string ratePair(const std::string& from, const std::string& to) { return from + to; }

    // ---- What the screens keep ----------------------------------------------------------------
    static constexpr Key<bool> radiant{"radiant", false};
    static constexpr RowKey from{"from", "USD"};
    static constexpr RowKey to{"to", "EUR"};
    static constexpr Key<bool> showCurrency{"show_currency", false};
    // The own currency the list holds now, so that its rates can be removed when it changes.
    static constexpr Key<const char*> ownCurrency{"own_currency", ""};
    static constexpr Key<std::int64_t> launchCount{"launchCount", 0};
    static constexpr Key<std::int64_t> reviewRequests{"reviewRequests", 0};
    static constexpr Key<const char*> version{"preference_version_phone", ""};
    static constexpr Key<const char*> watchVersion{"preference_version_watch", ""};

    // ---- Preferences: the Settings screen's switches, the settings page's two fields ---------
    static constexpr Key<const char*> copyright{
        "preference_copyright_phone",
        "Ostrelo, a pocket calculator. Exchange rates: the euro reference rates of the European Central Bank."};
    // The own currency as typed on the settings page.
    static constexpr Key<const char*> ownCurrencyRequest{"preference_own_currency", ""};
    static constexpr Key<bool> darkTheme{"preference_theme_phone", false};
    static constexpr Key<bool> hideStatusBar{"preference_statusbar_phone", false};
    static constexpr Key<bool> scientificNotation{"preference_notation_phone", false};
    static constexpr Key<bool> autoParenthesis{"preference_autocomplete_phone", true};
    static constexpr Key<bool> clickSound{"preference_sound_phone", false};
    static constexpr Key<bool> rememberCurrencyKeypad{"preference_currency_phone", false};
    static constexpr Key<bool> coloredDisplay{"preference_color", false};
    static constexpr Key<bool> percentKeys{"preference_percent", false};

    // ---- Access --------------------------------------------------------------------------------
    // The suite of the group directory, opened and synchronised.
    static std::unique_ptr<foundation::UserDefaults> open() {
        auto suite = std::make_unique<foundation::UserDefaults>();
        suite->synchronize();
        return suite;
    }

    // Opens the suite, writes the values in order and synchronises; false when a write failed.
    using Entry = std::pair<std::string, foundation::PropertyListValue>;
    static bool store(std::initializer_list<Entry> values) {
        auto suite = open();
        bool stored = true;
        for (const auto& [key, value] : values) stored = suite->set(key, value) && stored;
        suite->synchronize();
        return stored;
    }
    template <class K, class V>
    static bool store(const K& key, V value) {
        return store({Entry(std::string(key), foundation::PropertyListValue(std::move(value)))});
    }
};

}  // namespace ostrelo
