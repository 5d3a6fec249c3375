#include "ui/ExponentLevels.h"

#include "platform/foundation/Characters.h"
#include "platform/foundation/NumberFormatter.h"

#include <algorithm>

namespace ostrelo {

namespace {

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    std::size_t position = 0;
    while ((position = text.find(from, position)) != std::string::npos) {
        text.replace(position, from.size(), to);
        position += to.size();
    }
    return text;
}

bool isDigit(const std::string& c) { return c.size() == 1 && c[0] >= '0' && c[0] <= '9'; }

}  // namespace

std::string ExponentLevels::text() const {
    std::string result;
    for (const auto& c : characters) result += c;
    return result;
}

ExponentLevels exponentLevels(const std::string& text) {
    const foundation::NumberFormatter formatter;
    return exponentLevels(text, formatter.decimalSeparator(), formatter.groupingSeparator());
}

ExponentLevels exponentLevels(const std::string& text, const std::string& decimalSeparator,
                              const std::string& groupingSeparator) {
    ExponentLevels result;
    if (text.empty()) return result;

    const auto chars = foundation::Characters::split(replaceAll(text, "⁻¹", "^−1"));
    const std::string decimalFirst = foundation::Characters::prefix(decimalSeparator, 1);
    const std::string groupingFirst = foundation::Characters::prefix(groupingSeparator, 1);
    const std::size_t n = chars.size();
    std::vector<int> levels(n, 0);

    auto inNumberRun = [&](std::size_t i) {
        const std::string& c = chars[i];
        if (isDigit(c) || c == "E") return true;
        if (!decimalFirst.empty() && c == decimalFirst) return true;
        if (!groupingFirst.empty() && c == groupingFirst) return true;
        return c == "-" && i > 0 && chars[i - 1] == "E";
    };

    for (std::size_t p = 0; p < n; ++p) {
        if (chars[p] != "^") continue;
        // A caret that starts the text stands on level 0 and is raised to level 1.
        const int level = (p > 0 ? levels[p - 1] : 0) + 1;
        levels[p] = level;
        const std::size_t q = p + 1;
        if (q >= n) continue;
        if (isDigit(chars[q]) || chars[q] == "@") {
            levels[q] = level;
            for (std::size_t i = q + 1; i < n && inNumberRun(i); ++i) levels[i] = level;
        } else if (chars[q] == "(") {
            // Up to the ")" that closes it; without one, to the end of the text.
            int depth = 0;
            for (std::size_t i = q; i < n; ++i) {
                levels[i] = level;
                if (chars[i] == "(") {
                    ++depth;
                } else if (chars[i] == ")") {
                    if (--depth == 0) break;
                }
            }
        } else if (chars[q] == "−" && q + 1 < n && chars[q + 1] == "1") {
            levels[q] = level;
            levels[q + 1] = level;
        }
    }

    const bool endsWithCaret = chars.back() == "^";
    for (std::size_t i = 0; i < n; ++i) {
        if (chars[i] == "^") continue;
        result.characters.push_back(chars[i]);
        result.levels.push_back(levels[i]);
    }
    if (endsWithCaret) {
        result.characters.push_back("^");
        result.levels.push_back(levels[n - 1]);
    }
    result.highestLevel = result.levels.empty() ? 0 : *std::max_element(result.levels.begin(), result.levels.end());
    return result;
}

}  // namespace ostrelo
