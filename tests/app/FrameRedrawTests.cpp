#include "engine/SharedSettings.h"
#include "platform/host/HeadlessHost.h"
#include "tests/app/AppTest.h"
#include "ui/CalculatorButton.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

namespace {

class FrameRedrawTest : public apptest::AppTest {};

// The window's frames are drawn only where they changed, into a picture that keeps the frame
// before. After every step of a session (taps with the keys shrinking and growing back, typed
// keys, a held key's pulse, a popover coming and going, the theme changing) and at each 1/60 s
// of its animations, that picture must equal, byte for byte, the whole window drawn afresh;
// and a key changes far less than the whole window.
TEST_F(FrameRedrawTest, FramesDrawnWhereTheyChangedEqualWholeFrames) {
    host::HeadlessHost host(host::DeviceProfile::smallPhone());
    host.launch(ostrelo::AppStartup::description());
    auto* screen = dynamic_cast<ostrelo::ViewController*>(host.rootViewController());
    ASSERT_NE(screen, nullptr);
    const double scale = host.profile().scale;
    const uikit::Size size = host.window().bounds().size;
    const render::Image kept(static_cast<int>(size.width * scale), static_cast<int>(size.height * scale));
    const long whole = static_cast<long>(kept.width()) * kept.height();

    long largest = 0;  // the most pixels one frame of the current step drew
    int frames = 0;
    auto frame = [&](const std::string& step) {
        if (testing::Test::HasFailure()) return;
        host.runUntilIdle();
        cairo_t* cr = cairo_create(kept.surface());
        long frameArea = 0;
        for (const auto& box : host.driver().drawFrame(cr, scale)) frameArea += box.area();
        cairo_destroy(cr);
        cairo_surface_flush(kept.surface());
        largest = std::max(largest, frameArea);
        const render::Image fresh = host.snapshot();
        ASSERT_EQ(fresh.width(), kept.width());
        const int stride = cairo_image_surface_get_stride(kept.surface());
        const unsigned char* a = cairo_image_surface_get_data(kept.surface());
        const unsigned char* b = cairo_image_surface_get_data(fresh.surface());
        ASSERT_EQ(stride, cairo_image_surface_get_stride(fresh.surface()));
        for (int y = 0; y < kept.height(); ++y)
            if (std::memcmp(a + y * stride, b + y * stride, static_cast<std::size_t>(kept.width()) * 4) != 0) {
                int x = 0;
                while (std::memcmp(a + y * stride + x * 4, b + y * stride + x * 4, 4) == 0) ++x;
                FAIL() << step << " (frame " << frames << "): pixel " << x << "," << y << " differs";
            }
        ++frames;
    };
    // A step and the frames of the animations it starts, at 60 per second.
    auto step = [&](const std::string& name, const std::function<void()>& action, double animated = 0.3) {
        SCOPED_TRACE(name);
        largest = 0;
        action();
        frame(name);
        for (double t = 0; t < animated && !testing::Test::HasFailure(); t += 1.0 / 60) {
            host.advance(1.0 / 60);
            frame(name);
        }
        return largest;
    };
    auto tap = [&](uikit::View* key) {
        const uikit::Point point = host::HeadlessHost::centerOf(*key);
        host.touchDown(point);
        for (int i = 0; i < 6; ++i) {
            host.advance(1.0 / 60);
            frame("pressed");
        }
        host.touchUp(point);
    };

    EXPECT_EQ(step("first frame", [] {}, 0), whole);
    EXPECT_LT(step("tap 7", [&] { tap(screen->controls().buttonSeven); }), whole / 10);
    step("tap 8", [&] { tap(screen->controls().buttonEight); });
    EXPECT_LT(step("typed 9", [&] { host.pressKey("9"); }), whole / 10);
    step("typed + and =", [&] {
        host.pressKey("+");
        host.pressKey("3");
        host.pressKey("=");
    });
    step("held C (the pulse)", [&] {
        const uikit::Point point = host::HeadlessHost::centerOf(*screen->controls().buttonClear);
        host.touchDown(point);
        for (int i = 0; i < 48; ++i) {
            host.advance(1.0 / 60);
            frame("held");
        }
        EXPECT_TRUE(host.driver().animating());
        host.touchUp(point);
    }, 0.5);
    step("functions popover", [&] { tap(screen->controls().buttonFunctions); }, 0.5);
    step("popover closed", [&] { host.pressKey("\x1b", 41); }, 0.5);
    EXPECT_GT(step("dark theme", [&] {
        ostrelo::SharedSettings::open()->set("preference_theme_phone", true);
        host.resignActive();
        host.becomeActive();
    }), whole / 2);
    EXPECT_EQ(step("nothing", [] {}, 0), 0);
}

}  // namespace
