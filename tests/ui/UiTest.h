#pragma once

#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Window.h"
#include "tests/support/TestEnvironment.h"
#include "ui/Theme.h"

#include <memory>

namespace uitest {

// A test in the headless host (virtual clock from 0, a phone in portrait: compact width, regular
// height) with its own suite and the dark theme applied.
class UiTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        testsupport::SuiteTest::SetUp();
        ostrelo::applyDarkTheme();
        host = std::make_unique<host::HeadlessHost>();
        window = &host->window();
    }
    void TearDown() override {
        window = nullptr;
        host.reset();
        ostrelo::applyDarkTheme();
        testsupport::SuiteTest::TearDown();
    }
    void advance(double seconds) { host->advance(seconds); }

    std::unique_ptr<host::HeadlessHost> host;
    uikit::Window* window = nullptr;
};

}  // namespace uitest
