#include "OstreloMessage/MessagesCollapsedViewController.h"
#include "OstreloMessage/MessagesExpandedViewController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/uikit/Application.h"
#include "tests/messages/MessagesTest.h"
#include "ui/CalculatorButton.h"

#include <future>

namespace {

using ostrelo::MessagesCollapsedViewController;
using ostrelo::MessagesExpandedViewController;

// Work a calculator queues (titles and the save after a currency key, the set-up's retitles, the
// appearance's rate check and picker reselection) and the observers it registers must never
// reach it once a change of style has replaced it. Run under the sanitizers, a call into a
// destroyed calculator ends the test.
class QueuedWorkTest : public messagestest::MessagesTest {
protected:
    // The rate check waits until `release` (after the calculator that started it has gone).
    void holdRateCheck() {
        std::shared_future<void> released = release.get_future().share();
        ostrelo::ExchangeRateFeed::setNetworkTest([released] {
            released.wait();
            return false;
        });
    }
    void finish() {
        release.set_value();
        foundation::DispatchQueue::global().waitUntilIdle();
        host->runUntilIdle();
    }
    static std::size_t observers(const char* name) {
        return foundation::NotificationCenter::defaultCenter().observerCount(name);
    }

    std::promise<void> release;
};

TEST_F(QueuedWorkTest, AStyleChangeRightAfterACurrencyKeyDropsItsQueuedSave) {
    ASSERT_NE(launch(), nullptr);
    auto* compact = child<MessagesCollapsedViewController>();
    ASSERT_NE(compact, nullptr);
    const auto active = observers(uikit::Application::didBecomeActiveNotification);
    compact->handleKeyPressCollapsed(compact->controls().convertFrom, false, "");
    window->toggleStyle();
    ASSERT_NE(child<MessagesExpandedViewController>(), nullptr);
    host->runUntilIdle();
    foundation::NotificationCenter::defaultCenter().post(uikit::Application::didBecomeActiveNotification);
    EXPECT_EQ(observers(uikit::Application::didBecomeActiveNotification), active);
}

TEST_F(QueuedWorkTest, AStyleChangeRightAfterAppearanceDropsWhatTheAppearanceQueued) {
    holdRateCheck();
    ASSERT_NE(launch(), nullptr);
    // Expanded and at once compact again: the expanded calculator appeared and queued its rate
    // check, picker reselection and retitles, none of which has run.
    window->toggleStyle();
    ASSERT_NE(child<MessagesExpandedViewController>(), nullptr);
    window->toggleStyle();
    ASSERT_NE(child<MessagesCollapsedViewController>(), nullptr);
    window->toggleStyle();
    ASSERT_NE(child<MessagesExpandedViewController>(), nullptr);
    finish();
    ASSERT_NE(child<MessagesExpandedViewController>(), nullptr);
}

// The Functions popover goes with its calculator; neither it nor the calculator hears the app's
// return to the foreground afterwards.
TEST_F(QueuedWorkTest, APopoverLeftOpenAtAStyleChangeHearsNothingAfter) {
    ASSERT_NE(launch(), nullptr);
    toggle();
    auto* expanded = child<MessagesExpandedViewController>();
    ASSERT_NE(expanded, nullptr);
    const auto foreground = observers(uikit::Application::willEnterForegroundNotification);
    expanded->presentFunctionsPopover();
    ASSERT_NE(expanded->presentedViewController(), nullptr);
    EXPECT_EQ(observers(uikit::Application::willEnterForegroundNotification), foreground + 1);
    // A tap on the toggle would only close the popover: the host changes the style itself.
    window->toggleStyle();
    EXPECT_EQ(observers(uikit::Application::willEnterForegroundNotification), foreground);
    host->enterBackground();
    host->enterForeground();
    host->becomeActive();
    EXPECT_NE(child<MessagesCollapsedViewController>(), nullptr);
}

}  // namespace
