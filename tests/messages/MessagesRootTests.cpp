#include "OstreloMessage/MessagesCollapsedViewController.h"
#include "OstreloMessage/MessagesExpandedViewController.h"
#include "platform/uikit/ClassRegistry.h"
#include "platform/uikit/LayoutGuide.h"
#include "tests/messages/MessagesTest.h"

namespace {

using ostrelo::MessagesCollapsedViewController;
using ostrelo::MessagesExpandedViewController;

class MessagesRootTest : public messagestest::MessagesTest {
protected:
    // The child fills the root's width and the height of its safe area.
    void expectLaidOutInSafeArea(uikit::ViewController& child) {
        uikit::View& rootView = *root().view();
        const uikit::Rect safe = rootView.safeAreaLayoutGuide().layoutFrame();
        EXPECT_LT(safe.height(), rootView.bounds().height());  // the home indicator's strip is left out
        EXPECT_EQ(child.view()->frame(), uikit::Rect(0, safe.minY(), rootView.bounds().width(), safe.height()));
    }
};

// Each activation and each change of style replaces the child: the old one is gone (calculator
// included), the new one is of the style's class, holds the window's conversation, and only the
// compact pad has the root as its delegate. A host that reports no conversation at a change of
// style still gets the new style's calculator, without a conversation, and a warning.
TEST_F(MessagesRootTest, EveryActivationAndStyleShowsAFreshChildAcrossTheSafeArea) {
    ASSERT_NE(launch(), nullptr);
    auto* compact = child<MessagesCollapsedViewController>();
    ASSERT_NE(compact, nullptr);
    EXPECT_EQ(compact->savedConversation(), window->conversation());
    EXPECT_EQ(compact->delegate(), &root());
    expectLaidOutInSafeArea(*compact);
    auto previous = compact->alive();

    toggle();
    EXPECT_TRUE(previous.expired());
    auto* expanded = child<MessagesExpandedViewController>();
    ASSERT_NE(expanded, nullptr);
    EXPECT_EQ(expanded->savedConversation(), window->conversation());
    expectLaidOutInSafeArea(*expanded);
    previous = expanded->alive();

    host->resignActive();
    host->becomeActive();
    EXPECT_TRUE(previous.expired());
    ASSERT_NE(child<MessagesExpandedViewController>(), nullptr);
    previous = child<MessagesExpandedViewController>()->alive();

    window->reportNoActiveConversationAtNextTransition();
    testing::internal::CaptureStderr();
    toggle();
    const std::string logged = testing::internal::GetCapturedStderr();
    EXPECT_NE(logged.find("no active conversation"), std::string::npos) << logged;
    EXPECT_TRUE(previous.expired());
    compact = child<MessagesCollapsedViewController>();
    ASSERT_NE(compact, nullptr);
    EXPECT_EQ(compact->savedConversation(), nullptr);
    EXPECT_EQ(compact->delegate(), &root());
    expectLaidOutInSafeArea(*compact);
}

// The expanded calculator restores its pickers' rows after each of its layouts; that must not
// ask for another layout of the calculator, or it would lay out at every turn of the run loop.
TEST_F(MessagesRootTest, TheExpandedCalculatorSettlesAfterItsLayout) {
    struct Counting : MessagesExpandedViewController {
        int layouts = 0;
        void viewDidLayoutSubviews() override {
            ++layouts;
            MessagesExpandedViewController::viewDidLayoutSubviews();
        }
    };
    ASSERT_NE(launch(), nullptr);
    uikit::ClassRegistry::shared().registerController<Counting>(ostrelo::MessagesViewController::expandedScene);
    toggle();
    auto* expanded = dynamic_cast<Counting*>(child<MessagesExpandedViewController>());
    ostrelo::MessagesExtension::registerClasses();
    ASSERT_NE(expanded, nullptr);
    foundation::DispatchQueue::global().waitUntilIdle();
    host->runUntilIdle();
    const int settled = expanded->layouts;
    EXPECT_GT(settled, 0);
    for (int turn = 0; turn < 3; ++turn) host->runUntilIdle();
    EXPECT_EQ(expanded->layouts, settled);
}

}  // namespace
