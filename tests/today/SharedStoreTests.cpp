#include "app/AppStartup.h"
#include "app/ViewController.h"
#include "engine/ExchangeRateFeed.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/PanelHost.h"
#include "platform/uikit/Storyboard.h"
#include "screens/ScreenControls.h"
#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"
#include "today/TodayStartup.h"
#include "today/TodayViewController.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorPicker.h"
#include "ui/CalculatorView.h"

namespace {

class SharedStoreTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        testsupport::SuiteTest::SetUp();
        ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
    }
    void TearDown() override {
        foundation::DispatchQueue::global().waitUntilIdle();
        uikit::Storyboard::setDirectory(std::nullopt);
        ostrelo::ExchangeRateFeed::setNetworkTest({});
        testsupport::SuiteTest::TearDown();
    }
};

// The widget and the app keep one currency choice: the keys stepped in the widget (USD on to
// AUD past the list's end, EUR to GBP) are the rows of the app's pickers when it next starts.
TEST_F(SharedStoreTest, CurrencyKeysSteppedInTheWidgetAreTheAppsPickerRows) {
    auto suite = ostrelo::SharedSettings::open();
    suite->set("preference_currency_phone", true);
    suite->set("show_currency", true);
    {
        uikit::Storyboard::setDirectory(std::filesystem::path(TODAY_SCENES));
        host::HeadlessHost host;
        auto* panel = host::PanelHost::launch(host, ostrelo::TodayStartup::factory());
        auto* widget = panel != nullptr ? dynamic_cast<ostrelo::TodayViewController*>(panel->widget()) : nullptr;
        ASSERT_NE(widget, nullptr);
        const ostrelo::ScreenControls& keys = widget->controls();
        for (ostrelo::CalculatorButton* key : {keys.convertFrom, keys.convertFrom, keys.convertTo})
            host.tap(host::HeadlessHost::centerOf(*key));
        EXPECT_EQ(widget->controls().convertFrom->normalTitle(), "AUD");
        EXPECT_EQ(widget->controls().convertTo->normalTitle(), "GBP");
        foundation::DispatchQueue::global().waitUntilIdle();
    }
    uikit::Storyboard::setDirectory(std::filesystem::path(APP_SCENES));
    host::HeadlessHost host;
    host.launch(ostrelo::AppStartup::description());
    foundation::DispatchQueue::global().waitUntilIdle();
    host.runUntilIdle();
    auto* screen = dynamic_cast<ostrelo::ViewController*>(host.rootViewController());
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->controls().convertFromPicker->selectedRowInComponent(0), 0);
    EXPECT_EQ(screen->controls().convertToPicker->selectedRowInComponent(0), 9);
}

// The panel stays open while another process (the app's Settings screen) changes the theme: the
// widget's keys take it at the next minute's refresh, and at the next showing of the panel.
TEST_F(SharedStoreTest, ThemeChangedElsewhereReachesTheKeysAtTheMinuteAndAtTheNextShowing) {
    uikit::Storyboard::setDirectory(std::filesystem::path(TODAY_SCENES));
    host::HeadlessHost host;
    auto* panel = host::PanelHost::launch(host, ostrelo::TodayStartup::factory());
    auto* widget = panel != nullptr ? dynamic_cast<ostrelo::TodayViewController*>(panel->widget()) : nullptr;
    ASSERT_NE(widget, nullptr);
    panel->toggleDisplayMode();  // the whole pad
    host.runUntilIdle();
    // A pixel of the "5" key's face, away from its title.
    const auto keyFace = [&] {
        const auto* key = widget->controls().buttonFive;
        const uikit::Point corner = key->superview()->convertPoint(key->frame().origin, nullptr);
        const render::Image image = host.snapshot();
        const double scale = host.profile().scale;
        return image.pixel(static_cast<int>((corner.x + 6) * scale), static_cast<int>((corner.y + 6) * scale));
    };
    const auto chooseTheme = [this](const std::string& theme) {
        testsupport::AppProcess app(THEME_CHILD, {theme}, {{"OSTRELO_GROUP_DIR", groupDirectory().string()}});
        EXPECT_EQ(app.waitForExit(), 0) << app.text();
    };
    const uikit::Color light = keyFace();
    chooseTheme("dark");
    host.advance(59);
    EXPECT_EQ(keyFace(), light);  // no refresh yet
    host.advance(1);
    const uikit::Color dark = keyFace();
    EXPECT_NE(dark, light);
    chooseTheme("light");
    host.enterBackground();
    host.enterForeground();
    EXPECT_EQ(keyFace(), light);
}

}  // namespace
