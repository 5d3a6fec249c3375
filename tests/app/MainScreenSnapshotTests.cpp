#include "engine/SharedSettings.h"
#include "platform/host/HeadlessHost.h"
#include "tests/app/AppTest.h"
#include "ui/CalculatorButton.h"

namespace {

class MainScreenSnapshotTest : public apptest::AppTest {};

// The main screen in both themes, upright and lying, at the phone's scale: PNGs beside the test
// program (snapshots/main-<theme>-<orientation>.png) for a person to look at, and a digit key
// in its theme's colour.
TEST_F(MainScreenSnapshotTest, TheMainScreenInBothThemesAndOrientations) {
    const auto directory = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "snapshots";
    std::filesystem::create_directories(directory);
    for (const bool dark : {true, false}) {
        ostrelo::SharedSettings::open()->set("preference_theme_phone", dark);
        host::HeadlessHost host;
        host.launch(ostrelo::AppStartup::description());
        auto* screen = dynamic_cast<ostrelo::ViewController*>(host.rootViewController());
        ASSERT_NE(screen, nullptr);
        for (const auto orientation : {host::Orientation::portrait, host::Orientation::landscape}) {
            host.rotate(orientation);
            const std::string name = std::string("main-") + (dark ? "dark" : "light") + "-" +
                                     (orientation == host::Orientation::portrait ? "portrait" : "landscape");
            SCOPED_TRACE(name);
            const render::Image image = host.snapshot();
            EXPECT_TRUE(image.writePNG(directory / (name + ".png")));
            // Inside the "8" key, clear of its title and border lines.
            const ostrelo::CalculatorButton* eight = screen->controls().buttonEight;
            const uikit::Rect key = eight->convertRect(eight->bounds(), nullptr);
            const double scale = host.profile().scale;
            const auto pixel = image.pixel(static_cast<int>((key.minX() + key.width() * 0.15) * scale),
                                           static_cast<int>((key.minY() + key.height() * 0.85) * scale));
            const double expected = dark ? 64 : 224;
            EXPECT_NEAR(pixel.red * 255, expected, 0.5);
            EXPECT_NEAR(pixel.green * 255, expected, 0.5);
            EXPECT_NEAR(pixel.blue * 255, expected, 0.5);
        }
    }
}

}  // namespace
