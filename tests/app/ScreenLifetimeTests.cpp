#include "app/ViewController.h"
#include "engine/ExchangeRateFeed.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/host/HeadlessHost.h"
#include "tests/app/CalculatorSceneFixture.h"
#include "tests/support/TestEnvironment.h"
#include "ui/CalculatorCalcLabel.h"

namespace {

class ScreenLifetimeTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        testsupport::SuiteTest::SetUp();
        ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
    }
    void TearDown() override {
        foundation::DispatchQueue::global().waitUntilIdle();
        ostrelo::ExchangeRateFeed::setNetworkTest({});
        testsupport::SuiteTest::TearDown();
    }
};

// Every activation re-reads the settings; the display lines' tap recognisers are attached
// once, so one tap copies once and clicks once however often the app became active.
TEST_F(ScreenLifetimeTest, OneTapOnTheDisplayCopiesOnceAfterManyActivations) {
    ostrelo::SharedSettings::open()->set("preference_sound_phone", true);
    host::HeadlessHost host;
    auto screen = apptest::makeCalculatorScreen();
    ASSERT_NE(screen, nullptr);
    auto* controller = screen.get();
    host.setRootViewController(std::move(screen));
    for (int i = 0; i < 3; ++i) host.becomeActive();
    host.clearRecords();
    host.tap(host::HeadlessHost::centerOf(*controller->secondaryCalculatorLine));
    EXPECT_EQ(host.pasteboardWrites(), std::vector<std::string>{"0"});
    EXPECT_EQ(host.sounds().size(), 1u);
}

}  // namespace
