#include "tests/script/SampleScreen.h"
#include "tests/support/TestEnvironment.h"
#include "tools/script/ScriptLine.h"
#include "tools/script/ScriptRunner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace scripttest {
namespace {

using script::ScriptLine;

// Writes scripts into a temporary folder and runs them with the sample screen.
class ScriptRunnerTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = testsupport::makeTemporaryDirectory("script-runner"); }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path write(const std::string& name, const std::string& text) {
        auto file = folder_ / name;
        std::ofstream(file) << text;
        return file;
    }

    // Runs the files; the report with the folder's path cut from each line.
    std::string run(const std::vector<std::filesystem::path>& files, bool& passed,
                    std::optional<std::filesystem::path> snapshots = std::nullopt) {
        script::ScriptRunner runner({snapshots, OSTRELO_SCRIPT_EXECUTABLE});
        runner.addScreen(SampleScreen::definition());
        std::ostringstream out;
        passed = runner.run(files, out);
        std::string report = out.str(), prefix = folder_.string() + "/";
        for (auto at = report.find(prefix); at != std::string::npos; at = report.find(prefix))
            report.erase(at, prefix.size());
        return report;
    }

    std::filesystem::path folder_;
};

}  // namespace

TEST(ScriptLineTest, SplitsWordsQuotesEscapesAndComments) {
    struct Case {
        std::string text;
        std::vector<std::pair<std::string, bool>> words;  // command first; (text, quoted)
        std::string error;
    };
    const std::vector<Case> cases = {
        {"tap 1 + 2   =", {{"tap", false}, {"1", false}, {"+", false}, {"2", false}, {"=", false}}, ""},
        {"expect primary \"a \\\"b\\\" \\\\ c\\nd\" # note", {{"expect", false}, {"primary", false}, {"a \"b\" \\ c\nd", true}}, ""},
        {"tap \"#\" \"\"", {{"tap", false}, {"#", true}, {"", true}}, ""},
        {"  # only a comment", {}, ""},
        {"tap M+# no blank needed", {{"tap", false}, {"M+", false}}, ""},
        {"expect primary \"open", {}, "unclosed quote"},
        {"expect primary \"a\\tb\"", {}, "unknown escape \\t"},
        {"tap a\"b\"", {}, "a quote inside a word"},
        {"tap \"a\"b", {}, "a quoted text must be followed by a blank"},
        {"\"tap\" 1", {}, "a line starts with a command word, not a quoted text"},
    };
    for (const auto& c : cases) {
        std::string error;
        auto line = ScriptLine::parse(c.text, 7, error);
        EXPECT_EQ(error, c.error) << c.text;
        if (c.words.empty()) {
            EXPECT_FALSE(line.has_value()) << c.text;
            continue;
        }
        ASSERT_TRUE(line.has_value()) << c.text;
        EXPECT_EQ(line->number, 7);
        std::vector<std::pair<std::string, bool>> words = {{line->command, false}};
        for (const auto& word : line->words) words.emplace_back(word.text, word.quoted);
        EXPECT_EQ(words, c.words) << c.text;
    }
}

TEST_F(ScriptRunnerTest, ReportsEachFailedExpectationWithItsLineAndGoesOn) {
    auto file = write("keys.script", R"S(# typing on the sample screen
screen sample
locale en_US
store preference_sound_phone true
start
expect primary "0"
expect legible primary
expect legible secondary
expect pixel 1 1 0 0 0
expect pixel 1 1 255 255 255
tap 2 + 3 =
expect primary "5"
expect secondary "2+3=5"
expect pasteboard "5"
expect sounds 1104 1104 1104 1104
expect title @buttonEqual "="
expect state = success
expect store preference_sound_phone true
expect primary "6"
hold M+
expect vibrations 1
expect sounds 1104
expect hidden (
expect shown (
tap @memoryClearLeft
expect store missing 12
tap MC
expect primary "never reached"
)S");
    bool passed = true;
    std::string report = run({file}, passed);
    EXPECT_FALSE(passed);
    EXPECT_EQ(report,
              "keys.script:8: expected secondary legible got \"\" drawn invisibly on 0 0 0\n"
              "keys.script:10: expected pixel 1 1 255 255 255 got 0 0 0\n"
              "keys.script:19: expected primary \"6\" got \"5\"\n"
              "keys.script:24: expected \"(\" shown got hidden\n"
              "keys.script:26: expected store missing 12 got absent\n"
              "keys.script:27: 2 keys read \"MC\" (name one by @outlet)\n"
              "0 passed, 1 failed\n");
}

TEST_F(ScriptRunnerTest, AScriptThatCannotRunFailsWithItsLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"screen sample\nstart\nwiggle 3\n", "a.script:3: unknown command \"wiggle\""},
        {"screen sample\nstart\nexpect primary \"0\n", "a.script:3: unclosed quote"},
        {"screen sample\nstart\nexpect colour \"red\"\n", "a.script:3: unknown expectation \"colour\""},
        {"screen sample\nstart\nhold 1 2 3\n", "a.script:3: usage: hold CAPTION [SECONDS]"},
        {"screen sample\ntap 1\nstart\n", "a.script:2: tap comes after start"},
        {"screen sample\nstart\nlocale de_DE\n", "a.script:3: locale belongs before start"},
        {"screen widget\nstart\n", "a.script:1: no screen \"widget\" (screens: sample)"},
        {"screen sample\n", "a.script: the script never starts its screen (start)"},
        {"screen sample\nstart\ntap 4 %\nexpect primary \"4\"\n", "a.script:3: no key reads \"%\""},
        {"screen sample\nstart\ntap 4 (\n", "a.script:3: the key \"(\" is not shown"},
        {"screen sample\nstart\ntap 1\ntap ✕\n", "a.script:4: the script's process ended with signal 6 (Aborted)"},
        {"screen sample\ndevice watch\nstart\n", "a.script:2: no device \"watch\" (phone, pad, \"iPhone 15 Pro\", "
                                                 "\"iPhone SE (3rd generation)\", \"iPad Air (5th generation)\")"},
    };
    for (const auto& [text, expected] : cases) {
        bool passed = true;
        EXPECT_EQ(run({write("a.script", text)}, passed), expected + "\n0 passed, 1 failed\n") << text;
        EXPECT_FALSE(passed);
    }
}

TEST_F(ScriptRunnerTest, EachScriptStartsOnAFreshStoreSoDateModeDoesNotLeak) {
    auto dates = write("dates.script", R"S(screen sample
start
tap 2 4 . 1 2 .
expect title @buttonEqual "𝑑"
)S");
    auto plain = write("plain.script", R"S(screen sample
start
expect title @buttonEqual "="
expect primary "0"
tap 1 .
expect title @buttonEqual "="
expect primary "1."
)S");
    bool passed = false;
    EXPECT_EQ(run({dates, plain, dates}, passed), "3 passed, 0 failed\n");
    EXPECT_TRUE(passed);
}

TEST_F(ScriptRunnerTest, AProcessStepSharesTheStoreAndSnapshotsAreWritten) {
    auto file = write("shared.script", R"S(screen sample
device "iPhone SE (3rd generation)" landscape
start
tap 7
process "AC 1 2 × 3 ="
expect process primary "36"
expect primary "7"
activate
expect primary "36"
snapshot sample-landscape
)S");
    auto snapshots = folder_ / "snapshots";
    bool passed = false;
    EXPECT_EQ(run({file}, passed, snapshots), "1 passed, 0 failed\n");
    EXPECT_TRUE(passed);
    std::ifstream png(snapshots / "sample-landscape.png", std::ios::binary);
    char signature[4] = {};
    png.read(signature, 4);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
}

}  // namespace scripttest
