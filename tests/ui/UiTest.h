#pragma once

#include "platform/foundation/RunLoop.h"
#include "platform/uikit/Window.h"
#include "tests/support/TestEnvironment.h"
#include "ui/Theme.h"

#include <memory>

namespace uitest {

// A test on the virtual clock with its own suite, the dark theme applied and a phone window in
// portrait (compact width, regular height).
class UiTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        testsupport::SuiteTest::SetUp();
        foundation::RunLoop::main().useVirtualTime(0);
        ostrelo::applyDarkTheme();
        window = std::make_unique<uikit::Window>(uikit::Rect(0, 0, 320, 568));
    }
    void TearDown() override {
        window.reset();
        foundation::RunLoop::main().useVirtualTime(0);
        ostrelo::applyDarkTheme();
        testsupport::SuiteTest::TearDown();
    }
    void advance(double seconds) { foundation::RunLoop::main().advance(seconds); }

    std::unique_ptr<uikit::Window> window;
};

}  // namespace uitest
