#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/host/ConversationHost.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/HostTextField.h"
#include "platform/host/TranscriptFile.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/Button.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace uikit;
using host::ConversationHost;
using host::HeadlessHost;

namespace {

using Log = std::vector<std::string>;

// An extension that tells what the host does to it; its button runs `onTap` as a key handler
// would.
struct Extension : MessagesAppViewController {
    Log* log;
    std::function<void(Extension&)> onTap;
    Button* button = nullptr;
    Extension(Log* log, std::function<void(Extension&)> onTap) : log(log), onTap(std::move(onTap)) {}
    ~Extension() override { log->push_back("gone"); }
    void viewDidLoad() override {
        log->push_back("loaded");
        button = view()->add(std::make_unique<Button>(Rect(10, 10, 100, 40)));
        button->addTarget(this, [this](Control&) {
            if (this->onTap) this->onTap(*this);
            log->push_back("handler done");
        }, ControlEventTouchUpInside, alive());
    }
    void viewDidAppear(bool) override { log->push_back("appeared"); }
    void viewDidDisappear(bool) override { log->push_back("disappeared"); }
    std::string state(const std::shared_ptr<Conversation>& conversation) const {
        return std::to_string(presentationStyle()) + (conversation ? " with" : " without") + " conversation";
    }
    void willBecomeActiveWithConversation(const std::shared_ptr<Conversation>& c) override {
        log->push_back("will become active " + state(c));
    }
    void didResignActiveWithConversation(const std::shared_ptr<Conversation>& c) override {
        log->push_back("did resign " + state(c));
    }
    void willTransitionToPresentationStyle(int style) override {
        log->push_back("will transition to " + std::to_string(style) + " from " + state(activeConversation()));
    }
    void viewWillTransitionToSize(Size size, TransitionCoordinator& coordinator) override {
        log->push_back("size " + std::to_string(int(size.width)) + "x" + std::to_string(int(size.height)));
        coordinator.animateAlongsideTransition({}, [this](TransitionCoordinator&) { log->push_back("size done"); });
    }
    void didTransitionToPresentationStyle(int style) override {
        log->push_back("did transition to " + std::to_string(style) + " at " + state(activeConversation()));
    }
};

class ConversationHostTest : public testsupport::SuiteTest {
protected:
    host::ConversationHostController* launch(std::function<void(Extension&)> onTap = {}) {
        auto* window = ConversationHost::launch(host, [this, onTap] { return std::make_unique<Extension>(&log, onTap); });
        observers.push_back(foundation::NotificationCenter::defaultCenter().addObserver(
            Application::didBecomeActiveNotification, nullptr, [this](const auto&) { log.push_back("notified active"); }));
        return window;
    }
    Extension& extension(host::ConversationHostController& window) { return static_cast<Extension&>(*window.extension()); }
    void tap(const View& view) { host.tap(HeadlessHost::centerOf(view)); }
    Log take() { return std::exchange(log, {}); }

    Log log;
    HeadlessHost host;  // iPhone 15 Pro: 393 x 852, safe area 59 at the top
    std::vector<foundation::NotificationCenter::Token> observers;
};

TEST_F(ConversationHostTest, ActivationResignationAndStyleChangesReachTheExtensionInOrder) {
    auto* window = launch([](Extension& e) { e.requestPresentationStyle(MessagesAppPresentationStyleExpanded); });
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(take(), (Log{"loaded", "appeared", "will become active 0 with conversation"}));
    EXPECT_EQ(extension(*window).view()->frame(), Rect(0, 568, 393, 284));

    host.resignActive();
    host.becomeActive();
    EXPECT_EQ(take(), (Log{"did resign 0 with conversation", "will become active 0 with conversation", "notified active"}));

    // The toggle: will, the resize (to below the bar), did; the conversation is active again.
    tap(window->toggleButton());
    EXPECT_EQ(take(), (Log{"will transition to 1 from 0 with conversation", "size 393x749", "size done",
                           "did transition to 1 at 1 with conversation"}));
    EXPECT_EQ(extension(*window).view()->frame(), Rect(0, 103, 393, 749));
    EXPECT_EQ(window->toggleButton().titleForState(ControlStateNormal), "Collapse");

    // A host that has lost the conversation reports none at didTransition, and has it again after.
    window->reportNoActiveConversationAtNextTransition();
    tap(window->toggleButton());
    EXPECT_EQ(take(), (Log{"will transition to 0 from 1 with conversation", "size 393x284", "size done",
                           "did transition to 0 at 0 without conversation"}));
    EXPECT_EQ(extension(*window).activeConversation(), window->conversation());

    // A request from inside a key handler is acted on after it; asking for the style shown does nothing.
    tap(*extension(*window).button);
    EXPECT_EQ(take(), (Log{"handler done", "will transition to 1 from 0 with conversation", "size 393x749",
                           "size done", "did transition to 1 at 1 with conversation"}));
    tap(*extension(*window).button);
    EXPECT_EQ(take(), (Log{"handler done"}));
}

TEST_F(ConversationHostTest, ADismissClosesTheAreaAfterTheEventAndOstreloOpensAFreshOne) {
    auto* window = launch([](Extension& e) {
        e.activeConversation()->insertText("2+3=5");
        e.dismiss();
        e.dismiss();
    });
    host.touchDown(HeadlessHost::centerOf(*extension(*window).button));
    take();
    host.touchUp(HeadlessHost::centerOf(*extension(*window).button));
    EXPECT_EQ(take(), (Log{"handler done", "did resign 0 with conversation", "disappeared", "gone"}));
    EXPECT_FALSE(window->isOpen());
    EXPECT_FALSE(window->reopenButton().hidden());
    EXPECT_TRUE(window->toggleButton().hidden());
    EXPECT_EQ(window->transcript(), (Log{"2+3=5"}));
    EXPECT_EQ(window->inputField().text(), "2+3=5");

    // Focus changes reach no extension while the area is closed.
    host.resignActive();
    host.becomeActive();
    EXPECT_EQ(take(), (Log{"notified active"}));

    tap(window->reopenButton());
    EXPECT_EQ(take(), (Log{"loaded", "appeared", "will become active 0 with conversation"}));
    EXPECT_TRUE(window->isOpen());
    EXPECT_TRUE(window->reopenButton().hidden());
}

TEST_F(ConversationHostTest, EveryInsertedTextIsOneLineOfTheTranscriptFile) {
    auto* window = launch();
    std::shared_ptr<Conversation> conversation = extension(*window).activeConversation();
    {
        std::ofstream earlier(ConversationHost::transcriptPath());
        earlier << "earlier\n";
    }
    std::vector<std::optional<std::string>> outcomes;
    for (const char* text : {"5", "2+3=5\n7×6=42", "a\\nb\r", ""})
        conversation->insertText(text, [&](const std::optional<std::string>& error) { outcomes.push_back(error); });
    host.runUntilIdle();
    EXPECT_EQ(window->transcript(), (Log{"5", "2+3=5\n7×6=42", "a\\nb\r", ""}));
    EXPECT_EQ(outcomes, (std::vector<std::optional<std::string>>(4)));
    std::ifstream file(ConversationHost::transcriptPath(), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_EQ(content.str(), "earlier\n5\n2+3=5\\n7×6=42\na\\\\nb\\r\n\n");
    EXPECT_EQ(window->transcriptView().text(), "5\n2+3=5\n7×6=42\na\\nb\r\n");
}

// A window started again shows the last 200 texts of the file as they were inserted, and adds
// the new ones after them.
TEST_F(ConversationHostTest, AStartShowsTheLastTextsOfTheTranscriptFile) {
    std::vector<std::string> texts;
    {
        std::ofstream earlier(ConversationHost::transcriptPath(), std::ios::binary);
        for (int i = 0; i < 250; ++i) {
            texts.push_back(std::to_string(i) + (i % 50 == 0 ? "\n=\\r\r" : ""));
            earlier << host::TranscriptFile::line(texts.back());
        }
    }
    auto* window = launch();
    std::string shown;
    for (std::size_t i = 50; i < texts.size(); ++i) shown += texts[i] + "\n";
    EXPECT_EQ(window->transcriptView().text() + "\n", shown);
    EXPECT_EQ(window->transcript(), Log{});
    extension(*window).activeConversation()->insertText("5");
    EXPECT_EQ(window->transcriptView().text(), shown + "5");
}

TEST_F(ConversationHostTest, AFailedWriteIsLoggedAndTheTextStillRecorded) {
    auto* window = launch();
    std::filesystem::create_directory(ConversationHost::transcriptPath());
    testing::internal::CaptureStderr();
    extension(*window).activeConversation()->insertText("5");
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("transcript: cannot open"), std::string::npos) << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_EQ(window->transcript(), (Log{"5"}));
    EXPECT_EQ(window->inputField().text(), "5");
}

TEST_F(ConversationHostTest, AConversationKeptPastItsHostTakesNothing) {
    std::shared_ptr<Conversation> kept;
    {
        HeadlessHost other;
        auto* window = ConversationHost::launch(other, [this] { return std::make_unique<Extension>(&log, nullptr); });
        kept = window->conversation();
    }
    std::optional<std::string> error;
    testing::internal::CaptureStderr();
    kept->insertText("5", [&](const std::optional<std::string>& e) { error = e; });
    foundation::RunLoop::main().runUntilIdle();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(error, "the conversation is closed");
    EXPECT_FALSE(std::filesystem::exists(ConversationHost::transcriptPath()));
}

}  // namespace
