#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"

#include <signal.h>

#include <fstream>
#include <regex>
#include <sstream>

using testsupport::AppProcess;

namespace {

// The real ostrelo-messages, offscreen, without sound or network, on the test's store.
class MessagesProgramTest : public testsupport::SuiteTest {
protected:
    std::unique_ptr<AppProcess> start(std::map<std::string, std::string> extra = {}) const {
        std::map<std::string, std::string> environment{{"OSTRELO_GROUP_DIR", groupDirectory().string()},
                                                       {"OSTRELO_WINDOW_SYSTEM", "offscreen"},
                                                       {"SDL_AUDIODRIVER", "dummy"},
                                                       {"OSTRELO_RATES_URL", "http://127.0.0.1:9/eurofxref-daily.xml"},
                                                       {"LANG", "en_US.UTF-8"}};
        environment.merge(extra);
        return std::make_unique<AppProcess>(OSTRELO_MESSAGES_PROGRAM, std::vector<std::string>{}, environment);
    }
    // A resources folder whose MainInterface is the real one changed by `edit`.
    std::filesystem::path resourcesWith(const std::function<std::string(const std::string&)>& edit) const {
        std::ifstream original(std::filesystem::path(OSTRELO_SCENES) / "MainInterface.storyboard");
        std::stringstream text;
        text << original.rdbuf();
        const auto resources = groupDirectory() / "resources";
        std::filesystem::create_directories(resources / "storyboards");
        std::ofstream(resources / "storyboards" / "MainInterface.storyboard") << edit(text.str());
        return resources;
    }
};

TEST_F(MessagesProgramTest, StartsOffscreenAndCloses) {
    auto program = start();
    ASSERT_TRUE(program->waitForLine("first frame")) << program->text();
    program->kill(SIGTERM);
    EXPECT_TRUE(program->waitForExit());
}

// A storyboard without a calculator's scene, or with a scene of another class, is a fault of the
// build: the program says which and ends with 1 before opening a window.
TEST_F(MessagesProgramTest, AStoryboardWithoutACalculatorEndsTheStart) {
    const std::pair<std::regex, std::string> faults[] = {
        {std::regex("scene MessagesCollapsedViewController MessagesCollapsedViewController"), "scene Other MessagesCollapsedViewController"},
        {std::regex("scene MessagesExpandedViewController MessagesExpandedViewController"), "scene MessagesExpandedViewController MessagesViewController"},
    };
    const std::string messages[] = {"Unable to instantiate an MessagesCollapsedViewController from the storyboard",
                                    "Unable to instantiate an MessagesExpandedViewController from the storyboard"};
    for (std::size_t i = 0; i < std::size(faults); ++i) {
        const auto& fault = faults[i];
        const auto resources =
            resourcesWith([&](const std::string& text) { return std::regex_replace(text, fault.first, fault.second); });
        auto program = start({{"OSTRELO_RESOURCES", resources.string()}});
        EXPECT_EQ(program->waitForExit(), 1) << program->text();
        EXPECT_NE(program->text().find(messages[i]), std::string::npos) << program->text();
        EXPECT_EQ(program->text().find("first frame"), std::string::npos);
    }
}

}  // namespace
