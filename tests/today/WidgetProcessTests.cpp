#include "engine/SharedSettings.h"
#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"

#include <signal.h>

namespace {

class WidgetProcessTest : public testsupport::SuiteTest {};

// The real program in an offscreen window: the panel opens with the widget, which loads its
// settings from the store and draws, and a terminating signal ends it.
TEST_F(WidgetProcessTest, TheRealWidgetStartsOffscreenWithItsSettingsAndEnds) {
    testsupport::AppProcess widget(WIDGET_PROGRAM, {},
                                   {{"OSTRELO_GROUP_DIR", groupDirectory().string()},
                                    {"OSTRELO_WINDOW_SYSTEM", "offscreen"},
                                    {"SDL_AUDIODRIVER", "dummy"},
                                    {"OSTRELO_RATES_URL", "http://127.0.0.1:9/eurofxref-daily.xml"},
                                    {"LANG", "en_US.UTF-8"}});
    ASSERT_TRUE(widget.waitForLine("first frame")) << widget.text();
    EXPECT_EQ(widget.text().find("no widget"), std::string::npos) << widget.text();
    auto suite = ostrelo::SharedSettings::open();
    EXPECT_EQ(suite->integerForKey("from"), 29);
    EXPECT_EQ(suite->integerForKey("to"), 8);
    widget.kill(SIGTERM);
    EXPECT_TRUE(widget.waitForExit());
}

}  // namespace
