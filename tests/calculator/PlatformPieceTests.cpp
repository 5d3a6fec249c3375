#include "platform/foundation/Clock.h"
#include "platform/foundation/RandomSource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <set>
#include <string>

namespace {

using foundation::RandomSource;

class RandomSourceTest : public ::testing::Test {
protected:
    void TearDown() override { RandomSource::replaceWordSource({}); }
};

// Run only when started by the test below: prints the first two fractions of a fresh start.
TEST(RandomSourceStart, DISABLED_PrintsTheFirstFractions) {
    std::printf("random: %.17g %.17g\n", RandomSource::fraction(), RandomSource::fraction());
}

// Starts a fresh copy of this program for the test above and returns its "random:" line.
std::string runForRandomNumbers() {
    std::string output;
    std::error_code error;
    auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return output;
    std::string command = "'" + program.string() +
                          "' --gtest_also_run_disabled_tests --gtest_filter=RandomSourceStart.DISABLED_PrintsTheFirstFractions";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        std::string line(buffer);
        if (line.rfind("random: ", 0) == 0) output = line;
    }
    pclose(pipe);
    return output;
}

TEST_F(RandomSourceTest, FractionsTakeTheTopBitsOfAWord) {
    std::deque<std::uint64_t> words{0, ~0ull, 0x8000000000000000ull, 0x4000000000000000ull};
    RandomSource::replaceWordSource([&words] {
        std::uint64_t word = words.front();
        words.pop_front();
        return word;
    });
    EXPECT_EQ(RandomSource::fraction(), 0.0);
    double highest = RandomSource::fraction();
    EXPECT_LT(highest, 1.0);
    EXPECT_EQ(highest, 1.0 - 0x1.0p-53);
    EXPECT_EQ(RandomSource::fraction(), 0.5);
    EXPECT_EQ(RandomSource::fraction(), 0.25);
}

TEST_F(RandomSourceTest, WholeNumbersRejectTheBiasedRange) {
    // Below 6 the words whose scaled low part falls under (2^32 mod 6) = 4 are drawn again.
    std::deque<std::uint64_t> words{0x0000000000000000ull, 0xFFFFFFFF00000000ull};
    int drawn = 0;
    RandomSource::replaceWordSource([&] {
        ++drawn;
        std::uint64_t word = words.front();
        words.pop_front();
        return word;
    });
    EXPECT_EQ(RandomSource::uniform(6), 5u);
    EXPECT_EQ(drawn, 2);

    RandomSource::replaceWordSource([] { return 0x8000000000000000ull; });
    EXPECT_EQ(RandomSource::uniform(4294967295u), 2147483647u);
    EXPECT_EQ(RandomSource::uniform(2), 1u);
    EXPECT_EQ(RandomSource::uniform(1), 0u);
    EXPECT_EQ(RandomSource::uniform(0), 0u);
}

TEST_F(RandomSourceTest, TheSystemSourceCoversItsRangeAndDiffersBetweenStarts) {
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 2000; ++i) {
        std::uint32_t value = RandomSource::uniform(7);
        ASSERT_LT(value, 7u);
        seen.insert(value);
        double fraction = RandomSource::fraction();
        ASSERT_GE(fraction, 0.0);
        ASSERT_LT(fraction, 1.0);
    }
    EXPECT_EQ(seen.size(), 7u);

    std::string first = runForRandomNumbers();
    std::string second = runForRandomNumbers();
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
}

TEST(ClockTest, PinnedAndSystemTime) {
    using namespace std::chrono;
    auto moment = sys_days{year{2026} / December / 24} + hours{12};
    foundation::Clock::pinAt(moment);
    EXPECT_EQ(foundation::Clock::now(), moment);
    EXPECT_EQ(foundation::Clock::now(), moment);
    foundation::Clock::replaceSource({});
    auto now = foundation::Clock::now();
    EXPECT_LT(std::abs(duration_cast<seconds>(now - system_clock::now()).count()), 5);
}

}  // namespace
