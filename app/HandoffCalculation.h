#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace foundation {
class UserActivity;
}

namespace ostrelo {

class Calculator;
class KeptLineTexts;

// The calculation as the app's activity carries it: one record per line of the calculation,
// "TEXT#TYPE;", with the line's display text in a plain form every locale reads ("." as the
// decimal separator, no grouping, never scientific). A lone result writes a negative number as
// "−5", every other calculation as "(−5)". Continuing an activity rebuilds the calculation from
// the records the keys could have made; the rest is skipped.
class HandoffCalculation {
public:
    static constexpr const char* title = "ostrelo";
    static constexpr const char* userInfoKey = "calculator";
    // Longer texts are refused whole: no calculation typed on a keypad comes near it.
    static constexpr std::size_t longestText = 64 * 1024;

    // The app's bundle identifier in lower case, then ".handoff".
    static std::string activityType();
    // The records of the calculator's lines; empty for an empty calculation. With `kept`, the
    // record of each line is made once and kept while the line stays.
    static std::string text(const Calculator& calculator);
    static std::string text(const Calculator& calculator, KeptLineTexts& kept);

    // The calculation text of an activity to continue: one of the app's own type with a
    // "calculator" text of at most `longestText` bytes. None (logged) for anything else, which
    // then changes nothing.
    static std::optional<std::string> acceptedText(const foundation::UserActivity& activity);
    // Replaces the calculation by the records of the text and reloads it from the store. A text
    // that is not UTF-8, or holds a NUL, restores nothing: the calculation ends cleared.
    static void restore(Calculator& calculator, const std::string& text);

private:
    static void restoreRecord(Calculator& calculator, const std::string& text, const std::string& type);
    static void restoreNumber(Calculator& calculator, const std::string& text);
    static bool isKeyText(std::string_view text, std::string_view type);
};

}  // namespace ostrelo
