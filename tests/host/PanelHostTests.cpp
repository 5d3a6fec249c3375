#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/RunLoop.h"
#include "platform/host/DesktopUrlOpener.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/PanelHost.h"
#include "platform/host/SingleInstance.h"
#include "platform/uikit/Button.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace uikit;
using host::HeadlessHost;
using host::PanelHost;

namespace {

using Log = std::vector<std::string>;

std::string text(Size size) { return std::to_string(int(size.width)) + "x" + std::to_string(int(size.height)); }

// A widget that offers the expanded mode, prefers `expandedSize` there and its maximum in compact,
// and answers updates with the next of `results`.
struct Widget : ViewController, WidgetProviding {
    Log* log;
    Size expandedSize;
    std::vector<int> results{WidgetUpdateResultNewData};
    Widget(Log* log, Size expandedSize) : log(log), expandedSize(expandedSize) {}
    void viewDidLoad() override {
        log->push_back("loaded, compact maximum " + text(extensionContext()->widgetMaximumSizeForDisplayMode(0)));
        extensionContext()->setWidgetLargestAvailableDisplayMode(WidgetDisplayModeExpanded);
    }
    void widgetActiveDisplayModeDidChange(int mode, Size maximum) override {
        log->push_back("mode " + std::to_string(mode) + " " + text(maximum));
        preferredContentSize = mode == WidgetDisplayModeExpanded ? expandedSize : maximum;
    }
    void viewWillTransitionToSize(Size size, TransitionCoordinator& coordinator) override {
        log->push_back("size " + text(size));
        View::setAnimationsEnabled(false);
        coordinator.animateAlongsideTransition({}, [this](TransitionCoordinator&) {
            View::setAnimationsEnabled(true);
            log->push_back("transition done");
        });
    }
    void widgetPerformUpdateWithCompletionHandler(UpdateCompletion completion) override {
        log->push_back("update");
        int result = results.front();
        if (results.size() > 1) results.erase(results.begin());
        completion(result);
    }
};

class PanelHostTest : public testsupport::SuiteTest {
protected:
    host::PanelHostController* launch(Size expandedSize, host::PanelHostController::Options options = {}) {
        return PanelHost::launch(host, [this, expandedSize] { return std::make_unique<Widget>(&log, expandedSize); },
                                 options);
    }
    Widget& widget(host::PanelHostController& panel) { return static_cast<Widget&>(*panel.widget()); }
    Log take() { return std::exchange(log, {}); }

    Log log;
    HeadlessHost host;
};

TEST_F(PanelHostTest, TheToggleSwitchesModesThroughTheTransitionAndClampsThePreferredSize) {
    host::PanelHostController::Options options;
    options.compactMaximum = {320, 120};
    auto* panel = launch({400, 600}, options);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(take(), (Log{"loaded, compact maximum 320x120", "mode 0 320x120", "size 320x120", "transition done", "update"}));
    EXPECT_EQ(host.window().bounds().size, (Size{320, 148}));
    EXPECT_EQ(widget(*panel).view()->frame(), Rect(0, 28, 320, 120));
    EXPECT_FALSE(panel->toggleButton().hidden());
    EXPECT_EQ(panel->toggleButton().titleForState(ControlStateNormal), "Show More");

    host.tap(HeadlessHost::centerOf(panel->toggleButton()));
    EXPECT_EQ(take(), (Log{"mode 1 320x430", "size 320x430", "transition done"}));
    EXPECT_TRUE(View::areAnimationsEnabled());
    EXPECT_EQ(panel->widgetSize(), (Size{320, 430}));
    EXPECT_EQ(host.window().bounds().size, (Size{320, 458}));
    EXPECT_EQ(panel->toggleButton().titleForState(ControlStateNormal), "Show Less");

    // A new maximum of the mode shown reaches the widget at once; a smaller preference is kept.
    widget(*panel).expandedSize = {300, 200};
    panel->setMaximumSize(WidgetDisplayModeExpanded, {320, 380});
    EXPECT_EQ(take(), (Log{"mode 1 320x380", "size 300x200", "transition done"}));
    EXPECT_EQ(host.window().bounds().size, (Size{320, 228}));

    host.tap(HeadlessHost::centerOf(panel->toggleButton()));
    EXPECT_EQ(take(), (Log{"mode 0 320x120", "size 320x120", "transition done"}));
    EXPECT_EQ(panel->widgetActiveDisplayMode(), WidgetDisplayModeCompact);

    // The header drags the panel, its buttons do not; the close button asks the window to close.
    EXPECT_TRUE(panel->dragsWindowAt({60, 14}));
    EXPECT_FALSE(panel->dragsWindowAt(HeadlessHost::centerOf(panel->toggleButton())));
    EXPECT_FALSE(panel->dragsWindowAt({60, 40}));
    host.tap(HeadlessHost::centerOf(panel->closeButton()));
    EXPECT_TRUE(host.driver().closeRequested());
}

TEST_F(PanelHostTest, AWidgetThatOffersOnlyCompactShowsNoToggle) {
    auto* panel = PanelHost::launch(host, [this] {
        struct Compact : Widget {
            using Widget::Widget;
            void viewDidLoad() override {}
        };
        return std::make_unique<Compact>(&log, Size{320, 400});
    });
    EXPECT_TRUE(panel->toggleButton().hidden());
    panel->toggleDisplayMode();
    EXPECT_EQ(panel->widgetActiveDisplayMode(), WidgetDisplayModeCompact);
}

TEST_F(PanelHostTest, UpdatesComeWhenShownAndEverySixtySecondsWhileShown) {
    auto* panel = launch({320, 430});
    widget(*panel).results = {WidgetUpdateResultNoData, WidgetUpdateResultFailed, WidgetUpdateResultNewData};
    take();
    host.advance(59.9);
    EXPECT_EQ(panel->updateRequests(), 1);
    host.advance(0.1);
    EXPECT_EQ(panel->updateRequests(), 2);
    host.advance(60);
    EXPECT_EQ(panel->updateRequests(), 3);

    host.enterBackground();
    host.advance(300);
    EXPECT_EQ(panel->updateRequests(), 3);
    EXPECT_FALSE(panel->isShown());
    host.enterForeground();
    EXPECT_EQ(panel->updateRequests(), 4);
    host.advance(60);
    EXPECT_EQ(panel->updateRequests(), 5);
    EXPECT_EQ(panel->updateResults(), (std::vector<int>{0, 1, 2, 0, 0}));
}

TEST_F(PanelHostTest, WithoutAnOpenerUrlsAreRecordedAsOpened) {
    auto* panel = launch({320, 430});
    std::vector<bool> outcomes;
    panel->openURL("ostrelo://", [&](bool opened) { outcomes.push_back(opened); });
    host.runUntilIdle();
    EXPECT_EQ(host.openedURLs(), (Log{"ostrelo://"}));
    EXPECT_EQ(outcomes, (std::vector<bool>{true}));
}

// The desktop opener: the app's running instance first, the desktop's opener when none answers.
class DesktopUrlOpenerTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        foundation::RunLoop::main().useVirtualTime(0);
    }
    // A stand-in for xdg-open that writes the URL it got to a file and ends with `status`.
    std::vector<std::string> fallback(int status) {
        return {"/bin/sh", "-c", "printf %s \"$1\" > \"$0\"; exit " + std::to_string(status), opened().string()};
    }
    std::filesystem::path opened() const { return groupDirectory() / "opened"; }
    std::string openedText() const {
        std::ifstream file(opened());
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    std::optional<bool> open(const host::DesktopUrlOpener& opener) {
        std::optional<bool> outcome;
        opener.open("ostrelo://", [&](bool opened) { outcome = opened; });
        foundation::RunLoop::main().runUntil([&] { return outcome.has_value(); }, 30);
        return outcome;
    }
};

TEST_F(DesktopUrlOpenerTest, TheRunningAppTakesTheUrl) {
    auto claim = host::SingleInstance::claim(groupDirectory(), "ostrelo", "activate");
    ASSERT_EQ(claim.role, host::SingleInstance::Role::running);
    Log requests;
    claim.instance->serve([&](const std::string& request) {
        requests.push_back(request);
        return std::nullopt;
    });
    EXPECT_EQ(open(host::DesktopUrlOpener(groupDirectory(), "ostrelo", fallback(0))), true);
    EXPECT_EQ(requests, (Log{"url ostrelo://"}));
    EXPECT_FALSE(std::filesystem::exists(opened()));
}

TEST_F(DesktopUrlOpenerTest, WithoutTheAppTheDesktopOpenerGetsItAndAFailureIsLogged) {
    EXPECT_EQ(open(host::DesktopUrlOpener(groupDirectory(), "ostrelo", fallback(0))), true);
    EXPECT_EQ(openedText(), "ostrelo://");

    for (auto command : {fallback(4), std::vector<std::string>{"/no/such/opener"}}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(open(host::DesktopUrlOpener(groupDirectory(), "ostrelo", command)), false);
        std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_NE(printed.find("cannot open ostrelo://: no running ostrelo; "), std::string::npos) << printed;
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    }
}

// Without a desktop opener, or when it fails, the app's own program gets the URL: the installed
// one the PATH finds when there is none beside this program.
TEST_F(DesktopUrlOpenerTest, WithoutADesktopOpenerTheAppIsStartedWithTheUrl) {
    const std::filesystem::path bin = groupDirectory() / "bin";
    std::filesystem::create_directory(bin);
    std::ofstream(bin / "ostrelo-stand-in") << "#!/bin/sh\nprintf %s \"$*\" > \"" << opened().string() << "\"\n";
    std::filesystem::permissions(bin / "ostrelo-stand-in", std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", ("relative:" + bin.string() + ":" + path).c_str(), 1);
    const auto outcome = open(host::DesktopUrlOpener(groupDirectory(), "ostrelo", {"/no/such/opener"}, "ostrelo-stand-in"));
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(outcome, true);
    // The app runs on its own; its arguments arrive when it has started.
    EXPECT_TRUE(foundation::RunLoop::main().runUntil([&] { return openedText() == "ostrelo://"; }, 30));

    EXPECT_EQ(open(host::DesktopUrlOpener(groupDirectory(), "ostrelo", {"/no/such/opener"}, "no-such-app")), false);
}

}  // namespace
