#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserActivity.h"
#include "platform/host/GroupPasteboardStorage.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/Pasteboard.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace uikit;
using host::LaunchRequest;

namespace {

using Log = std::vector<std::string>;

struct Delegate : ApplicationDelegate {
    Log* log = nullptr;
    bool takesLaunchShortcut = false;
    Window* windowAtLaunch = nullptr;
    bool didFinishLaunchingWithOptions(Application&, const LaunchOptions& options) override {
        windowAtLaunch = window;
        log->push_back("finish launching " + (options.shortcutItem ? options.shortcutItem->type : options.url.value_or("")));
        return !takesLaunchShortcut;
    }
    void applicationDidBecomeActive(Application&) override { log->push_back("delegate active"); }
    void applicationWillResignActive(Application&) override { log->push_back("delegate resign"); }
    void applicationDidEnterBackground(Application&) override { log->push_back("delegate background"); }
    void applicationWillEnterForeground(Application&) override { log->push_back("delegate foreground"); }
    void performActionForShortcutItem(Application&, const ApplicationShortcutItem& item,
                                      const std::function<void(bool)>& completion) override {
        log->push_back("shortcut " + item.type);
        completion(true);
    }
    bool continueUserActivity(Application&, const foundation::UserActivity& activity) override {
        log->push_back("continue " + activity.activityType());
        return true;
    }
};

struct Screen : ViewController {
    Log* log;
    std::vector<foundation::NotificationCenter::Token> tokens;
    explicit Screen(Log* log) : log(log) { log->push_back("screen made"); }
    void viewDidLoad() override {
        log->push_back("view loaded");
        // Publishes its own activity where the group directory's is kept.
        userActivity = std::make_shared<foundation::UserActivity>("screen.handoff");
        userActivity->becomeCurrent();
        for (const char* name : {Application::didBecomeActiveNotification, Application::willResignActiveNotification,
                                 Application::didEnterBackgroundNotification, Application::willEnterForegroundNotification})
            tokens.push_back(foundation::NotificationCenter::defaultCenter().addObserver(
                name, nullptr, [this, name](const auto&) { this->log->push_back(std::string("observed ") + name); }));
    }
    void viewDidAppear(bool) override { log->push_back("appeared"); }
    void viewWillTransitionToSize(Size size, TransitionCoordinator& coordinator) override {
        log->push_back("size " + std::to_string(int(size.width)) + "x" + std::to_string(int(size.height)));
        ViewController::viewWillTransitionToSize(size, coordinator);
    }
};

class ApplicationDriverTest : public testsupport::SuiteTest {
protected:
    host::AppDescription app(bool takesLaunchShortcut) {
        host::AppDescription description;
        description.name = "ostrelo-test";
        description.makeRootViewController = [this] { return std::make_unique<Screen>(&log); };
        description.makeDelegate = [this, takesLaunchShortcut] {
            auto delegate = std::make_unique<Delegate>();
            delegate->log = &log;
            delegate->takesLaunchShortcut = takesLaunchShortcut;
            return delegate;
        };
        return description;
    }
    Log log;
};

const std::string active = std::string("observed ") + Application::didBecomeActiveNotification;
const std::string resign = std::string("observed ") + Application::willResignActiveNotification;
const std::string background = std::string("observed ") + Application::didEnterBackgroundNotification;
const std::string foreground = std::string("observed ") + Application::willEnterForegroundNotification;

TEST_F(ApplicationDriverTest, StartUpRunsInOrderAndTheDelegateHearsBeforeObservers) {
    struct Row {
        LaunchRequest request;
        bool delegateTakesShortcut;
        Log afterActivation;
    } rows[] = {
        {{}, false, {}},
        {{LaunchRequest::Kind::url, "ostrelo://x"}, false, {}},
        {{LaunchRequest::Kind::shortcut, "app.paste"}, true, {}},
        {{LaunchRequest::Kind::shortcut, "app.paste"}, false, {"shortcut app.paste"}},
        // The activity the group directory held before the start, not the one the screen published.
        {{LaunchRequest::Kind::activity, ""}, false, {"continue earlier.handoff"}},
    };
    for (const auto& row : rows) {
        log.clear();
        ASSERT_TRUE(foundation::UserActivity("earlier.handoff").becomeCurrent());
        host::HeadlessHost host;
        host.launch(app(row.delegateTakesShortcut), row.request);
        Log expected{"screen made", "finish launching " + row.request.value, "view loaded", "appeared",
                     "delegate active", active};
        expected.insert(expected.end(), row.afterActivation.begin(), row.afterActivation.end());
        EXPECT_EQ(log, expected) << row.request.encode();
        EXPECT_EQ(static_cast<Delegate*>(host.delegate())->windowAtLaunch, &host.window());
        EXPECT_EQ(Application::shared().applicationState, ApplicationState::active);
    }
}

TEST_F(ApplicationDriverTest, LifecycleAndRequestsFromLaterStarts) {
    host::HeadlessHost host;
    host.launch(app(false));
    log.clear();
    host.enterBackground();
    EXPECT_EQ(Application::shared().applicationState, ApplicationState::background);
    host.enterForeground();
    EXPECT_EQ(Application::shared().applicationState, ApplicationState::inactive);
    host.becomeActive();
    host.resignActive();
    host.enterBackground();  // already inactive: no second resign
    EXPECT_EQ(log, (Log{"delegate resign", resign, "delegate background", background, "delegate foreground", foreground,
                        "delegate active", active, "delegate resign", resign, "delegate background", background}));

    // A request from a later start comes between a resignation (or, in the background, nothing)
    // and an activation, which refreshes what it changed; the start hears why one was refused.
    log.clear();
    foundation::UserActivity activity("app.handoff", groupDirectory() / "elsewhere");
    ASSERT_TRUE(activity.becomeCurrent());
    EXPECT_FALSE(host.handle({LaunchRequest::Kind::shortcut, "app.copy"}));
    EXPECT_FALSE(host.handle({LaunchRequest::Kind::activity, (groupDirectory() / "elsewhere" / "UserActivity").string()}));
    EXPECT_EQ(log, (Log{"shortcut app.copy", "delegate foreground", foreground, "delegate active", active, "delegate resign",
                        resign, "continue app.handoff", "delegate active", active}));
    EXPECT_NE(host.handle({LaunchRequest::Kind::activity, groupDirectory().string()}).value_or("").find(" is a directory"),
              std::string::npos);
    EXPECT_FALSE(host.handle({LaunchRequest::Kind::url, "ostrelo://"}));
    EXPECT_EQ(host.quickActionAnswers(), std::vector<bool>{true});
}

TEST_F(ApplicationDriverTest, DesktopWindowsTakeSizeClassesFromTheirSizeAndEveryResizeRunsTheSizeChange) {
    host::ApplicationDriver driver({{375, 667}, 1, UserInterfaceIdiom::phone, {}, true});
    driver.setRootViewController(std::make_unique<Screen>(&log));
    struct Row {
        Size size;
        UserInterfaceSizeClass horizontal, vertical;
    } rows[] = {
        {{375, 667}, UserInterfaceSizeClass::compact, UserInterfaceSizeClass::regular},
        {{667, 375}, UserInterfaceSizeClass::compact, UserInterfaceSizeClass::compact},
        {{699, 900}, UserInterfaceSizeClass::compact, UserInterfaceSizeClass::regular},
        {{700, 900}, UserInterfaceSizeClass::regular, UserInterfaceSizeClass::regular},
        {{1000, 600}, UserInterfaceSizeClass::regular, UserInterfaceSizeClass::compact},
    };
    for (const auto& row : rows) {
        log.clear();
        driver.resize(row.size);
        auto traits = driver.window().rootViewController()->traitCollection();
        EXPECT_EQ(traits.horizontalSizeClass, row.horizontal) << row.size.width << "x" << row.size.height;
        EXPECT_EQ(traits.verticalSizeClass, row.vertical) << row.size.width << "x" << row.size.height;
        EXPECT_EQ(log, Log{"size " + std::to_string(int(row.size.width)) + "x" + std::to_string(int(row.size.height))});
    }
}

TEST_F(ApplicationDriverTest, ThePasteboardIsSharedByTheProcessesOfATest) {
    host::HeadlessHost host;
    EXPECT_FALSE(Pasteboard::general().string().has_value());
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Pasteboard::general().setString("2+3=5");
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Pasteboard::general().string(), "2+3=5");
    EXPECT_TRUE(host.pasteboardWrites().empty());  // the write was the other process's
    Pasteboard::general().setString("7");
    EXPECT_EQ(host::GroupPasteboardStorage(groupDirectory()).read(), "7");
}

}  // namespace
