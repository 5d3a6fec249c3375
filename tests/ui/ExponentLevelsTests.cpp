#include "tests/support/TestEnvironment.h"
#include "ui/AttributedText.h"
#include "ui/ExponentLevels.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>

using namespace ostrelo;

namespace {

using Chars = std::vector<std::string>;
using Levels = std::vector<int>;

void expectLevels(const std::string& text, const Chars& characters, const Levels& levels, const std::string& decimal = ".",
                  const std::string& grouping = ",") {
    const auto result = exponentLevels(text, decimal, grouping);
    EXPECT_EQ(result.characters, characters) << text;
    EXPECT_EQ(result.levels, levels) << text;
    int highest = 0;
    for (int level : levels) highest = std::max(highest, level);
    EXPECT_EQ(result.highestLevel, highest) << text;
}

}  // namespace

TEST(ExponentLevels, CaretsRaiseTheFollowingNumberOrGroup) {
    expectLevels("", {}, {});
    expectLevels("12+3", {"1", "2", "+", "3"}, {0, 0, 0, 0});
    expectLevels("2^10", {"2", "1", "0"}, {0, 1, 1});
    expectLevels("2^3^2", {"2", "3", "2"}, {0, 1, 2});
    expectLevels("2^10+1", {"2", "1", "0", "+", "1"}, {0, 1, 1, 0, 0});
    // The reciprocal key's suffix is a raised "−1".
    expectLevels("5⁻¹", {"5", "−", "1"}, {0, 1, 1});
    expectLevels("5⁻¹⁻¹", {"5", "−", "1", "−", "1"}, {0, 1, 1, 2, 2});
    expectLevels("2^−1", {"2", "−", "1"}, {0, 1, 1});
    expectLevels("2^−5", {"2", "−", "5"}, {0, 0, 0});
    // A parenthesised exponent is raised as a whole, nested groups included.
    expectLevels("2^(3+4)", {"2", "(", "3", "+", "4", ")"}, {0, 1, 1, 1, 1, 1});
    expectLevels("2^((1)+4)×5", {"2", "(", "(", "1", ")", "+", "4", ")", "×", "5"}, {0, 1, 1, 1, 1, 1, 1, 1, 0, 0});
    expectLevels("2^(3^2)", {"2", "(", "3", "2", ")"}, {0, 1, 1, 2, 1});
    // A symbol after the caret stays down; only the caret goes.
    expectLevels("2^𝜋", {"2", "𝜋"}, {0, 0});
    expectLevels("2^@@", {"2", "@", "@"}, {0, 1, 0});
}

TEST(ExponentLevels, NumberRunsFollowTheLocaleSeparatorsAndTheExponentMark) {
    expectLevels("2^1.5E-3+1", {"2", "1", ".", "5", "E", "-", "3", "+", "1"}, {0, 1, 1, 1, 1, 1, 1, 0, 0});
    expectLevels("2^3-1", {"2", "3", "-", "1"}, {0, 1, 0, 0});
    expectLevels("2^1,000.5", {"2", "1", ",", "0", "0", "0", ".", "5"}, {0, 1, 1, 1, 1, 1, 1, 1});
    // German: "," is the decimal separator and "." groups.
    expectLevels("2^1,5.3", {"2", "1", ",", "5", ".", "3"}, {0, 1, 1, 1, 1, 1}, ",", ".");
    // A separator of several characters counts with its first one.
    expectLevels("2^1ab5", {"2", "1", "a", "b", "5"}, {0, 1, 1, 0, 0}, "ab", "xy");
}

TEST(ExponentLevels, CaretsAtTheEdgesAndOpenGroups) {
    // A caret just typed stays visible, raised.
    expectLevels("2^", {"2", "^"}, {0, 1});
    expectLevels("2^10^", {"2", "1", "0", "^"}, {0, 1, 1, 2});
    // A caret first in the text is level 1.
    expectLevels("^2", {"2"}, {1});
    expectLevels("^", {"^"}, {1});
    // An exponent group without its ")" is raised to the end of the text.
    expectLevels("2^(3+4", {"2", "(", "3", "+", "4"}, {0, 1, 1, 1, 1});
    expectLevels("2^(1^", {"2", "(", "1", "^"}, {0, 1, 1, 2});
    expectLevels("2^((1)+4", {"2", "(", "(", "1", ")", "+", "4"}, {0, 1, 1, 1, 1, 1, 1});
}

class ExponentLocale : public testsupport::SuiteTest {};

TEST_F(ExponentLocale, SeparatorsComeFromTheCurrentLocale) {
    setLocale("de_DE");
    EXPECT_EQ(exponentLevels("2^1,5+1").levels, (Levels{0, 1, 1, 1, 0, 0}));
    setLocale("en_US");
    EXPECT_EQ(exponentLevels("2^1.5+1").levels, (Levels{0, 1, 1, 1, 0, 0}));
    EXPECT_EQ(exponentLevels("2^1.5+1").text(), "21.5+1");
}

TEST(AttributedText, ThemeFontSizesAndBaselineOffsets) {
    applyDarkTheme();
    uikit::AttributedString piece;
    makeAttributedText(piece, "2", 30, labelTextColor());
    makeExponentText(piece, "1", 1, 30, labelTextColor());
    makeExponentText(piece, "0", 2, 30, equalBackgroundColor());
    makeExponentText(piece, "7", 0, 30, labelTextColor());
    ASSERT_EQ(piece.string(), "2107");
    const auto a0 = *piece.attributesAt(0);
    const auto a1 = *piece.attributesAt(1);
    const auto a2 = *piece.attributesAt(2);
    const auto a3 = *piece.attributesAt(3);
    ASSERT_TRUE(a0.font && a1.font && a2.font && a3.font);
    EXPECT_EQ(a0.font->name, "HelveticaNeue-Thin");
    EXPECT_DOUBLE_EQ(a0.font->pointSize, 30);
    EXPECT_DOUBLE_EQ(a0.baselineOffset, 0);
    EXPECT_DOUBLE_EQ(a1.font->pointSize, 20);
    EXPECT_DOUBLE_EQ(a1.baselineOffset, 15);
    EXPECT_DOUBLE_EQ(a2.font->pointSize, 30 * 4.0 / 9.0);
    EXPECT_DOUBLE_EQ(a2.baselineOffset, 15 * (1 + 2.0 / 3.0));
    EXPECT_EQ(a2.foregroundColor, equalBackgroundColor());
    EXPECT_EQ(a1.foregroundColor, labelTextColor());
    EXPECT_DOUBLE_EQ(a3.font->pointSize, 30);
    EXPECT_DOUBLE_EQ(a3.baselineOffset, 0);
}

TEST(AttributedText, RangesOfSubstring) {
    using R = TextRange;
    EXPECT_EQ(rangesOfSubstring("1+1+1", "1", {0, 5}), (std::vector<R>{{0, 1}, {2, 1}, {4, 1}}));
    EXPECT_EQ(rangesOfSubstring("1+1+1", "1", {1, 3}), (std::vector<R>{{2, 1}}));
    EXPECT_EQ(rangesOfSubstring("aaaa", "aa", {0, 4}), (std::vector<R>{{0, 2}, {2, 2}}));
    EXPECT_EQ(rangesOfSubstring("aaa", "aa", {0, 3}), (std::vector<R>{{0, 2}}));
    // UTF-16 units: "𝜋" is two units, "×" one.
    EXPECT_EQ(rangesOfSubstring("𝜋×2×", "×", {0, 5}), (std::vector<R>{{2, 1}, {4, 1}}));
    EXPECT_TRUE(rangesOfSubstring("abc", "", {0, 3}).empty());
    EXPECT_TRUE(rangesOfSubstring("abc", "x", {0, 99}).empty());
}
