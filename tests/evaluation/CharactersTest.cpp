#include "platform/foundation/Characters.h"

#include <gtest/gtest.h>

using foundation::Characters;

TEST(Characters, CountsUserPerceivedCharacters) {
    EXPECT_EQ(Characters::count(""), 0u);
    EXPECT_EQ(Characters::count("2.0+3.0"), 7u);
    EXPECT_EQ(Characters::count("5.0\u22122.0\u00D74.0"), 11u);
    EXPECT_EQ(Characters::count("sin\u207B\u00B9("), 6u);        // the inverse suffix is two characters
    EXPECT_EQ(Characters::count("\U0001D70B+\U0001D452"), 3u);  // 𝜋 and 𝑒 lie beyond the 16-bit range
    EXPECT_EQ(Characters::count("e\u0301"), 1u);                // a combining accent joins its base
    EXPECT_EQ(Characters::count("\U0001F1E9\U0001F1EA"), 1u);   // a flag: two regional indicators
    EXPECT_EQ(Characters::count("\U0001F469\u200D\U0001F4BB"), 1u);
    EXPECT_EQ(Characters::count("a\r\nb"), 3u);
}

TEST(Characters, Utf16LengthCountsSurrogatePairsTwice) {
    EXPECT_EQ(Characters::utf16Length(""), 0u);
    EXPECT_EQ(Characters::utf16Length("2.0\u00F7"), 4u);
    EXPECT_EQ(Characters::utf16Length("\U0001D70B"), 2u);
    EXPECT_EQ(Characters::utf16Length("e\u0301"), 2u);
}

TEST(Characters, SplitAndEndsKeepClustersWhole) {
    const auto parts = Characters::split("1\u2212e\u0301\U0001D711");
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_EQ(parts[0], "1");
    EXPECT_EQ(parts[1], "\u2212");
    EXPECT_EQ(parts[2], "e\u0301");
    EXPECT_EQ(parts[3], "\U0001D711");
    const std::string text = "ab\u00D7e\u0301";
    EXPECT_EQ(Characters::prefix(text, 0), "");
    EXPECT_EQ(Characters::prefix(text, 3), "ab\u00D7");
    EXPECT_EQ(Characters::prefix(text, 9), text);
    EXPECT_EQ(Characters::suffix(text, 1), "e\u0301");
    EXPECT_EQ(Characters::suffix(text, 0), "");
    EXPECT_EQ(Characters::suffix(text, 9), text);
    EXPECT_EQ(Characters::dropFirst(text, 2), "\u00D7e\u0301");
    EXPECT_EQ(Characters::dropFirst(text, 9), "");
    EXPECT_EQ(Characters::dropLast(text, 1), "ab\u00D7");
    EXPECT_EQ(Characters::dropLast(text, 4), "");
    EXPECT_EQ(Characters::dropLast(text, 0), text);
}

TEST(Characters, BadUtf8CountsEachBadByteAsOneCharacter) {
    const std::string stray("1\x80+\xFF", 4);
    EXPECT_EQ(Characters::count(stray), 4u);
    EXPECT_EQ(Characters::utf16Length(stray), 4u);
    const std::string cut("2\xE2\x88", 3);  // "−" cut short
    const auto parts = Characters::split(cut);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[1], "\xE2");
    const std::string overlong("\xC0\xAF" "a", 3);
    EXPECT_EQ(Characters::count(overlong), 3u);
    const std::string surrogate("\xED\xA0\x80", 3);
    EXPECT_EQ(Characters::count(surrogate), 3u);
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(Characters::count(withNul), 3u);
    EXPECT_EQ(Characters::dropLast(std::string("e\u0301\xFF", 4), 1), "e\u0301");
}
