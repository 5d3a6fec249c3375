#include "app/ViewControllerSettings.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/RunLoop.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Storyboard.h"
#include "platform/uikit/Switch.h"
#include "tests/app/AppTest.h"
#include "ui/CalculatorButton.h"

namespace {

class PopoverLifetimeTest : public apptest::AppTest {
protected:
    ostrelo::ViewController* launch(host::HeadlessHost& host) {
        host.launch(ostrelo::AppStartup::description());
        return dynamic_cast<ostrelo::ViewController*>(host.rootViewController());
    }
};

// The reset switch turns itself off from the main queue; when the Settings screen has gone
// before that turn, the queued work is dropped (the sanitizers would see a use after free), and
// the reset itself has happened.
TEST_F(PopoverLifetimeTest, TheResetSwitchsQueuedTurnOffIsDroppedOnceTheScreenHasGone) {
    host::HeadlessHost host;
    ostrelo::ViewController* screen = launch(host);
    ASSERT_NE(screen, nullptr);
    screen->calculator().enterDigit("7");
    screen->calculator().pressMemoryPlus();
    screen->showSettingsPopover();
    auto* settings = dynamic_cast<ostrelo::ViewControllerSettings*>(screen->presentedViewController());
    ASSERT_NE(settings, nullptr);
    settings->switchReset->setOn(true);
    settings->switchReset->sendActionsForControlEvents(uikit::ControlEventValueChanged);
    screen->dismissViewController(false);
    foundation::RunLoop::main().runUntilIdle();
    EXPECT_EQ(screen->calculator().primaryString(), "0");
    EXPECT_EQ(screen->calculator().buttonMemoryRecallColor(), ostrelo::ButtonState::memoryEmpty);
    EXPECT_FALSE(ostrelo::SharedSettings::open()->boolForKey("reset"));
}

// A Settings screen presented without its delegate closes itself once its presentation is over
// (not in the middle of it); a popover asked for while one is up is refused without dimming;
// a screen that goes with its presenter calls nothing back.
TEST_F(PopoverLifetimeTest, SettingsWithoutADelegateCloseAfterPresentingAndNothingCallsBackAtTeardown) {
    {
        host::HeadlessHost host;
        ostrelo::ViewController* screen = launch(host);
        ASSERT_NE(screen, nullptr);
        std::string error;
        auto storyboard = uikit::Storyboard::named("Main", error);
        ASSERT_TRUE(storyboard) << error;
        auto settings = storyboard->instantiateViewController("Settings", error);
        ASSERT_NE(settings, nullptr) << error;
        settings->modalPresentationStyle = uikit::ModalPresentationPopover;
        screen->presentViewController(std::move(settings), false);
        EXPECT_NE(screen->presentedViewController(), nullptr);
        host.runUntilIdle();
        EXPECT_EQ(screen->presentedViewController(), nullptr);
        // One popover at a time: the second is refused and dims nothing.
        screen->showMemoryPopover();
        screen->showFunctionsPopover();
        EXPECT_EQ(screen->presentedViewController()->storyboardIdentifier, "Memory");
        EXPECT_EQ(screen->controls().buttonSeven->alpha(), 1.0);
        screen->dismissViewController(false);
        screen->showSettingsPopover();
        EXPECT_NE(dynamic_cast<ostrelo::ViewControllerSettings*>(screen->presentedViewController()), nullptr);
    }
    foundation::RunLoop::main().runUntilIdle();
}

}  // namespace
