#include "screens/ScreenProfiles.h"

#include "screens/KeyHandler.h"

#include <initializer_list>

namespace ostrelo {

namespace {

using Condition = LongPressRow::Condition;
using Rows = std::vector<LongPressRow>;

Rows join(std::initializer_list<Rows> parts) {
    Rows rows;
    for (const Rows& part : parts) rows.insert(rows.end(), part.begin(), part.end());
    return rows;
}

// The rows every table but the widget's shares, from the function key to the clear keys; the
// first two rows depend on the window's size only on the app's main screen.
Rows keypadRows(Condition sizeCondition) {
    return {{"ƒ(x)", "€"},
            {"MR", "MS"},
            {"M+", "M−", sizeCondition},
            {"⇨", KeyHandler::reverseConversionKey, sizeCondition},
            {"AC", "AC"},
            {"C", "AC"}};
}

Rows functionRows(const char* piBecomes) {
    return {{"x²", "xⁿ"},          {"𝜋", piBecomes},        {"𝑒", "#"},
            {"sin", "sinh"},       {"cos", "cosh"},         {"tan", "tanh"},
            {"sin⁻¹", "sinh⁻¹"}, {"cos⁻¹", "cosh⁻¹"}, {"tan⁻¹", "tanh⁻¹"}};
}

const Rows parenthesisRows{{"(", "{"}, {")", "}"}};
const Rows closingPercentRow{{"(⋯)", ")"}};
const Rows sendRow{{"✅", "✅✅"}};
const Rows loanRow{{"%", "%%"}};

using Preferences = std::vector<SharedSettings::Preference>;
using Keys = SharedSettings;

const Preferences extensionRegistrations{Keys::copyright,       Keys::darkTheme,
                                         Keys::coloredDisplay,  Keys::hideStatusBar,
                                         Keys::scientificNotation, Keys::autoParenthesis,
                                         Keys::clickSound,      Keys::rememberCurrencyKeypad,
                                         Keys::percentKeys};

Preferences without(Preferences preferences, const Keys::Key<bool>& key) {
    std::erase_if(preferences, [&key](const Keys::Preference& p) { return std::string_view(p.name) == key.name; });
    return preferences;
}

}  // namespace

const ScreenProfile& ScreenProfiles::main() {
    static const ScreenProfile profile{
        .longPress = join({closingPercentRow, keypadRows(Condition::compactWidthRegularHeight),
                           {{"rad", "⚙"}, {"deg", "⚙"}}, functionRows("𝜑"), parenthesisRows, loanRow}),
        .constantKeys = {"𝜋", "𝑒", "%", "𝜑", "#", "rand"},
        .loanStartAcceptsZero = true,
        .registeredDefaults = {Keys::copyright, Keys::ownCurrencyRequest, Keys::darkTheme, Keys::hideStatusBar,
                               Keys::scientificNotation, Keys::autoParenthesis, Keys::clickSound,
                               Keys::rememberCurrencyKeypad, Keys::coloredDisplay, Keys::percentKeys},
    };
    return profile;
}

const ScreenProfile& ScreenProfiles::messagesExpanded() {
    static const ScreenProfile profile{
        .longPress = join({closingPercentRow, keypadRows(Condition::none), functionRows("𝜑"), parenthesisRows, loanRow}),
        .constantKeys = {"𝜋", "𝑒", "%", "𝜑", "#", "rand"},
        .loanStartAcceptsZero = true,
        .registeredDefaults = extensionRegistrations,
        .blankGearTitle = true,
    };
    return profile;
}

const ScreenProfile& ScreenProfiles::messagesCollapsed() {
    static const ScreenProfile profile{
        .longPress = join({{LongPressRow::ownCurrencyRates}, closingPercentRow, keypadRows(Condition::none),
                           functionRows("@"), parenthesisRows, sendRow, loanRow}),
        .constantKeys = {"𝜋", "𝑒", "%", "@", "#"},
        .loanStartAcceptsZero = true,
        .dateSendEndsWithTail = false,
        .registeredDefaults = without(extensionRegistrations, Keys::rememberCurrencyKeypad),
    };
    return profile;
}

const ScreenProfile& ScreenProfiles::widget() {
    static const ScreenProfile profile{
        .longPress = join({{LongPressRow::ownCurrencyRates}, closingPercentRow, keypadRows(Condition::none),
                           {{"x²", "xⁿ", Condition::functionOverlayClosed}}, parenthesisRows}),
        .constantKeys = {"𝜋", "𝑒", "%", "𝜑", "#", "rand"},
        .loanStartAcceptsZero = false,
        .registeredDefaults = extensionRegistrations,
        .blankGearTitle = true,
    };
    return profile;
}

const ScreenProfile& ScreenProfiles::keyboard() {
    static const ScreenProfile profile{
        .longPress = join({{LongPressRow::ownCurrencyRates}, keypadRows(Condition::none), functionRows("𝜑"),
                           parenthesisRows, sendRow, loanRow}),
        .constantKeys = {"𝜋", "𝑒", "%", "𝜑", "#"},
        .loanStartAcceptsZero = true,
        .dateSendEndsWithTail = true,
        .registeredDefaults = without(without(extensionRegistrations, Keys::rememberCurrencyKeypad), Keys::percentKeys),
        .blankGearTitle = true,
    };
    return profile;
}

}  // namespace ostrelo
