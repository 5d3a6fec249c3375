#include "platform/foundation/UserDefaults.h"
#include "tests/storage/StorePrinting.h"
#include "tests/support/TestEnvironment.h"

#include <bit>
#include <cmath>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <thread>

using foundation::PropertyListValue;
using foundation::UserDefaults;

namespace {

class UserDefaultsTest : public testsupport::SuiteTest {};

std::uint64_t bits(double value) { return std::bit_cast<std::uint64_t>(value); }

TEST_F(UserDefaultsTest, EveryKindReadsBackExactlyWithItsKind) {
    const double quietNaN = std::bit_cast<double>(std::uint64_t{0x7ff8000000000001});
    const double negativeNaN = std::bit_cast<double>(std::uint64_t{0xfff4000000000abc});
    const std::vector<std::pair<std::string, PropertyListValue>> values = {
        {"true", true},
        {"false", false},
        {"zero", std::int64_t{0}},
        {"one", std::int64_t{1}},
        {"min", std::numeric_limits<std::int64_t>::min()},
        {"max", std::numeric_limits<std::int64_t>::max()},
        {"real", 0.1},
        {"negativeZero", -0.0},
        {"infinity", std::numeric_limits<double>::infinity()},
        {"negativeInfinity", -std::numeric_limits<double>::infinity()},
        {"nan", quietNaN},
        {"negativeNaN", negativeNaN},
        {"denormal", std::numeric_limits<double>::denorm_min()},
        {"text", "12,5 − √ 𝜋 \u00e9"},
        {"empty", ""},
        {"embeddedZero", std::string("a\0b", 3)},
        {"array", PropertyListValue::Array{"x", 1, 2.5, true, PropertyListValue::Array{}, PropertyListValue::Array{false}}},
        {"dictionary", PropertyListValue::Dictionary{{"a", 1},
                                                    {"nested", PropertyListValue::Dictionary{{"b", PropertyListValue::Array{
                                                                                                     quietNaN, -0.0}}}},
                                                    {"", ""}}},
    };
    {
        UserDefaults suite;
        for (const auto& [key, value] : values) ASSERT_TRUE(suite.set(key, value)) << key;
    }
    UserDefaults reopened;
    for (const auto& [key, value] : values) {
        auto stored = reopened.object(key);
        ASSERT_TRUE(stored.has_value()) << key;
        EXPECT_EQ(*stored, value) << key;
        EXPECT_EQ(stored->kind(), value.kind()) << key;
    }
    EXPECT_EQ(bits(*reopened.object("nan")->realValue()), 0x7ff8000000000001u);
    EXPECT_EQ(bits(*reopened.object("negativeNaN")->realValue()), 0xfff4000000000abcu);
    EXPECT_EQ(bits(*reopened.object("negativeZero")->realValue()), bits(-0.0));
    EXPECT_EQ(reopened.dictionaryRepresentation().size(), values.size());
}

TEST_F(UserDefaultsTest, BoolAndIntegerAreNeverConfused) {
    UserDefaults suite;
    suite.set("flag", true);
    suite.set("number", 1);
    suite.set("zeroFlag", false);
    suite.set("zero", 0);
    EXPECT_TRUE(suite.object("flag")->isBool());
    EXPECT_FALSE(suite.object("flag")->integerValue().has_value());
    EXPECT_TRUE(suite.object("number")->isInteger());
    EXPECT_FALSE(suite.object("number")->boolValue().has_value());
    EXPECT_TRUE(suite.object("zeroFlag")->isBool());
    EXPECT_TRUE(suite.object("zero")->isInteger());
    EXPECT_NE(*suite.object("flag"), *suite.object("number"));
    EXPECT_NE(PropertyListValue(1.0), PropertyListValue(1));
    EXPECT_FALSE(PropertyListValue(1.0).isInteger());
    EXPECT_EQ(PropertyListValue(1).numberAsDouble(), 1.0);
    EXPECT_FALSE(PropertyListValue(true).numberAsDouble().has_value());
}

TEST_F(UserDefaultsTest, AbsentKeysGiveThePhonesDefaults) {
    UserDefaults suite;
    EXPECT_FALSE(suite.object("missing").has_value());
    EXPECT_FALSE(suite.boolForKey("missing"));
    EXPECT_EQ(suite.integerForKey("missing"), 0);
    EXPECT_EQ(suite.doubleForKey("missing"), 0.0);
    EXPECT_FALSE(suite.stringForKey("missing").has_value());
    EXPECT_FALSE(suite.arrayForKey("missing").has_value());
    EXPECT_FALSE(suite.dictionaryForKey("missing").has_value());
    EXPECT_TRUE(suite.dictionaryRepresentation().empty());
}

TEST_F(UserDefaultsTest, TypedReadsConvertBetweenKinds) {
    UserDefaults suite;
    suite.set("real", -2.9);
    suite.set("big", 1e300);
    suite.set("nan", std::nan(""));
    suite.set("integer", 7);
    suite.set("yes", true);
    suite.set("numberText", " 42");
    suite.set("realText", "2.5");
    suite.set("word", "YES");
    suite.set("zeroText", "0");
    suite.set("array", PropertyListValue::Array{1});
    EXPECT_EQ(suite.integerForKey("real"), -2);
    EXPECT_EQ(suite.integerForKey("big"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(suite.integerForKey("nan"), 0);
    EXPECT_EQ(suite.integerForKey("yes"), 1);
    EXPECT_EQ(suite.integerForKey("numberText"), 42);
    EXPECT_EQ(suite.integerForKey("realText"), 2);
    EXPECT_EQ(suite.integerForKey("array"), 0);
    EXPECT_EQ(suite.doubleForKey("integer"), 7.0);
    EXPECT_EQ(suite.doubleForKey("realText"), 2.5);
    EXPECT_TRUE(suite.boolForKey("integer"));
    EXPECT_TRUE(suite.boolForKey("real"));
    EXPECT_TRUE(suite.boolForKey("word"));
    EXPECT_FALSE(suite.boolForKey("zeroText"));
    EXPECT_FALSE(suite.boolForKey("array"));
    EXPECT_EQ(suite.stringForKey("integer"), "7");
    EXPECT_EQ(suite.stringForKey("realText"), "2.5");
    EXPECT_FALSE(suite.arrayForKey("integer").has_value());
    EXPECT_EQ(suite.arrayForKey("array")->size(), 1u);
}

TEST_F(UserDefaultsTest, RegisteredDefaultsAreProcessWideAndNeverStored) {
    UserDefaults first;
    first.registerDefaults({{"storageTestDefault", 3}, {"storageTestOther", "a"}});
    first.registerDefaults({{"storageTestOther", "b"}});
    UserDefaults second;
    EXPECT_EQ(second.integerForKey("storageTestDefault"), 3);
    EXPECT_EQ(second.stringForKey("storageTestOther"), "b");
    EXPECT_TRUE(second.dictionaryRepresentation().empty());

    std::thread other([] { EXPECT_EQ(UserDefaults().integerForKey("storageTestDefault"), 3); });
    other.join();

    second.set("storageTestDefault", 5);
    EXPECT_EQ(first.integerForKey("storageTestDefault"), 5);
    second.removeObject("storageTestDefault");
    EXPECT_EQ(first.integerForKey("storageTestDefault"), 3);
}

TEST_F(UserDefaultsTest, WritesAndRemovalsAreSeenAtOnceByOtherSuiteObjects) {
    UserDefaults writer;
    UserDefaults reader;
    EXPECT_FALSE(reader.object("key").has_value());
    EXPECT_TRUE(writer.set("key", "one"));
    EXPECT_EQ(reader.stringForKey("key"), "one");
    EXPECT_TRUE(writer.set("key", 2));
    EXPECT_EQ(*reader.object("key"), PropertyListValue(2));
    EXPECT_TRUE(writer.removeObject("key"));
    EXPECT_TRUE(writer.removeObject("never there"));
    EXPECT_FALSE(reader.object("key").has_value());
    EXPECT_TRUE(reader.synchronize());
    EXPECT_TRUE(std::filesystem::exists(groupDirectory() / "group.sqlite"));
}

TEST_F(UserDefaultsTest, TransactionsCommitAllOrNothing) {
    UserDefaults suite;
    suite.set("kept", 1);
    EXPECT_TRUE(suite.performTransaction([](UserDefaults::Transaction& t) {
        EXPECT_EQ(t.object("kept"), PropertyListValue(1));
        t.set("a", 1);
        t.set("b", 2);
        t.removeObject("kept");
        EXPECT_EQ(t.object("a"), PropertyListValue(1));
        EXPECT_FALSE(t.object("kept").has_value());
        // Another thread's connection sees nothing of it before the commit.
        std::thread([] {
            UserDefaults other;
            EXPECT_FALSE(other.object("a").has_value());
            EXPECT_TRUE(other.object("kept").has_value());
        }).join();
        return true;
    }));
    EXPECT_EQ(suite.integerForKey("b"), 2);
    EXPECT_FALSE(suite.object("kept").has_value());

    EXPECT_FALSE(suite.performTransaction([](UserDefaults::Transaction& t) {
        t.set("a", 100);
        t.set("c", 3);
        return false;
    }));
    EXPECT_EQ(UserDefaults().integerForKey("a"), 1);
    EXPECT_FALSE(UserDefaults().object("c").has_value());

    EXPECT_THROW(suite.performTransaction([](UserDefaults::Transaction& t) -> bool {
        t.set("a", 200);
        throw std::runtime_error("body failed");
    }),
                 std::runtime_error);
    EXPECT_EQ(suite.integerForKey("a"), 1);
    // The suite is usable again after the failed transactions.
    EXPECT_TRUE(suite.set("after", true));
    EXPECT_TRUE(UserDefaults().boolForKey("after"));
}

TEST_F(UserDefaultsTest, ABackgroundWriterAndAForegroundReaderRunTogether) {
    std::atomic<bool> writerFailed = false;
    std::thread writer([&] {
        UserDefaults suite;
        for (int i = 1; i <= 300; ++i)
            if (!suite.set("rate", i) || !suite.set("rate" + std::to_string(i), i * 0.5)) writerFailed = true;
    });
    // One object shared by two threads as well.
    UserDefaults shared;
    std::thread sharedUser([&] {
        for (int i = 0; i < 200; ++i) shared.set("shared" + std::to_string(i), i);
    });
    UserDefaults reader;
    std::int64_t last = 0;
    for (int i = 0; i < 300; ++i) {
        const std::int64_t now = reader.integerForKey("rate");
        EXPECT_GE(now, last);
        last = now;
        shared.object("shared0");
    }
    writer.join();
    sharedUser.join();
    EXPECT_FALSE(writerFailed);
    EXPECT_EQ(reader.integerForKey("rate"), 300);
    EXPECT_EQ(reader.doubleForKey("rate300"), 150.0);
    EXPECT_EQ(reader.integerForKey("shared199"), 199);
}

TEST_F(UserDefaultsTest, AnUnusableStoreAnswersDefaultsAndReportsFailedWrites) {
    const auto blocked = groupDirectory() / "not-a-directory";
    std::ofstream(blocked) << "a file where the group directory should be";
    UserDefaults suite(blocked);
    suite.registerDefaults({{"storageTestUnusable", true}});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(suite.set("key", 1));
    EXPECT_FALSE(suite.removeObject("key"));
    EXPECT_FALSE(suite.performTransaction([](UserDefaults::Transaction&) { return true; }));
    EXPECT_FALSE(suite.synchronize());
    EXPECT_FALSE(suite.object("key").has_value());
    EXPECT_TRUE(suite.boolForKey("storageTestUnusable"));
    EXPECT_TRUE(suite.dictionaryRepresentation().empty());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("error"), std::string::npos);
}

TEST_F(UserDefaultsTest, TheGroupDirectoryComesFromTheEnvironment) {
    EXPECT_EQ(UserDefaults::groupDirectory(), groupDirectory());
    const std::string saved = groupDirectory().string();
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    unsetenv("OSTRELO_GROUP_DIR");
    setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(UserDefaults::groupDirectory(), std::filesystem::path("/data/home/ostrelo"));
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(UserDefaults::groupDirectory(), std::filesystem::path("/home/someone/.local/share/ostrelo"));
    setenv("OSTRELO_GROUP_DIR", saved.c_str(), 1);
    if (home) setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
