#include "engine/SharedSettings.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/TransitionCoordinator.h"
#include "platform/uikit/View.h"
#include "tests/app/AppTest.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorPicker.h"

#include <future>

namespace {

class ScreenLifetimeTest : public apptest::AppTest {};

// Every activation re-reads the settings; the display lines' tap recognisers are attached
// once, so one tap copies once and clicks once however often the app became active.
TEST_F(ScreenLifetimeTest, OneTapOnTheDisplayCopiesOnceAfterManyActivations) {
    ostrelo::SharedSettings::open()->set("preference_sound_phone", true);
    host::HeadlessHost host;
    auto screen = mainScreen();
    ASSERT_NE(screen, nullptr);
    auto* controller = screen.get();
    host.setRootViewController(std::move(screen));
    for (int i = 0; i < 3; ++i) host.becomeActive();
    host.clearRecords();
    host.tap(host::HeadlessHost::centerOf(*controller->controls().secondaryCalculatorLine));
    EXPECT_EQ(host.pasteboardWrites(), std::vector<std::string>{"0"});
    EXPECT_EQ(host.sounds().size(), 1u);
}

// Once the screen is gone, neither the app's activation nor its entering the background nor
// the picker restore that the rate check queues reaches it.
TEST_F(ScreenLifetimeTest, NothingReachesTheScreenOnceItIsGone) {
    // The rate check waits on the network test until the screen has gone.
    std::promise<void> gone;
    std::shared_future<void> released = gone.get_future().share();
    ostrelo::ExchangeRateFeed::setNetworkTest([released] {
        released.wait();
        return false;
    });
    auto& center = foundation::NotificationCenter::defaultCenter();
    const auto active = center.observerCount(uikit::Application::didBecomeActiveNotification);
    const auto background = center.observerCount(uikit::Application::didEnterBackgroundNotification);
    {
        host::HeadlessHost host;
        auto screen = mainScreen();
        ASSERT_NE(screen, nullptr);
        screen->view();
        EXPECT_EQ(center.observerCount(uikit::Application::didBecomeActiveNotification), active + 1);
        EXPECT_EQ(center.observerCount(uikit::Application::didEnterBackgroundNotification), background + 1);
    }
    gone.set_value();
    EXPECT_EQ(center.observerCount(uikit::Application::didBecomeActiveNotification), active);
    EXPECT_EQ(center.observerCount(uikit::Application::didEnterBackgroundNotification), background);
    center.post(uikit::Application::didBecomeActiveNotification);
    center.post(uikit::Application::didEnterBackgroundNotification);
    foundation::DispatchQueue::global().waitUntilIdle();
    foundation::RunLoop::main().runUntilIdle();
}

// The rate a hold on the from-picker stores 0.75 s after the hold began: once the screen has gone
// in between, nothing is stored and nothing reaches it.
TEST_F(ScreenLifetimeTest, AHeldPickerStoresNothingOnceTheScreenIsGone) {
    auto suite = ostrelo::SharedSettings::open();
    suite->set("preference_own_currency", "XAU");
    suite->set("preference_currency_phone", true);
    suite->set("show_currency", true);
    suite->set("from", 31);
    for (bool screenGoes : {false, true}) {
        SCOPED_TRACE(screenGoes ? "the screen goes" : "the screen stays");
        suite->removeObject("XAUEUR");
        host::HeadlessHost host;
        auto screen = mainScreen();
        ASSERT_NE(screen, nullptr);
        auto* controller = screen.get();
        host.setRootViewController(std::move(screen));
        controller->calculator().enterDigit("5");
        const auto point = host::HeadlessHost::centerOf(*controller->controls().convertFromPicker);
        host.touchDown(point);
        host.advance(0.6);
        host.touchUp(point);
        if (screenGoes) host.setRootViewController(std::make_unique<uikit::ViewController>());
        host.advance(1.0);
        EXPECT_EQ(suite->object("XAUEUR").has_value(), !screenGoes);
    }
}

// A size change turns animations off until it completes; a screen that goes meanwhile must not
// leave them off for every other view.
TEST_F(ScreenLifetimeTest, ASizeChangeWhoseScreenGoesStillTurnsAnimationsOnAgain) {
    uikit::TransitionCoordinator coordinator({667, 375});
    {
        auto screen = mainScreen();
        ASSERT_NE(screen, nullptr);
        screen->viewWillTransitionToSize(coordinator.targetSize(), coordinator);
        EXPECT_FALSE(uikit::View::areAnimationsEnabled());
    }
    coordinator.runAlongside();
    coordinator.runCompletions();
    EXPECT_TRUE(uikit::View::areAnimationsEnabled());
    uikit::View::setAnimationsEnabled(true);
}

}  // namespace
