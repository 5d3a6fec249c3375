#pragma once

#include "app/AppStartup.h"
#include "app/ViewController.h"
#include "engine/ExchangeRateFeed.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/uikit/Storyboard.h"
#include "tests/support/TestEnvironment.h"

#include <memory>
#include <string>

namespace apptest {

// A test of the app's screen from the source tree's scenes, with its own store and no network.
class AppTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        testsupport::SuiteTest::SetUp();
        ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
        uikit::Storyboard::setDirectory(std::filesystem::path(OSTRELO_SCENES));
    }
    void TearDown() override {
        foundation::DispatchQueue::global().waitUntilIdle();
        uikit::Storyboard::setDirectory(std::nullopt);
        ostrelo::ExchangeRateFeed::setNetworkTest({});
        testsupport::SuiteTest::TearDown();
    }
    static std::unique_ptr<ostrelo::ViewController> mainScreen() {
        std::string error;
        auto screen = ostrelo::AppStartup::makeMainScreen(error);
        EXPECT_NE(screen, nullptr) << error;
        return screen;
    }
};

}  // namespace apptest
