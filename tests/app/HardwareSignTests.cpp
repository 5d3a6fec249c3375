#include "engine/SharedSettings.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/AudioServices.h"
#include "tests/app/AppTest.h"
#include "ui/CalculatorCalcLabel.h"

namespace {

class HardwareSignTest : public apptest::AppTest {};

// "×", "÷" and "−" typed by a keyboard layout (AltGr, Compose) are the operator keys they name,
// with the click of a key, as "*", "/" and "-" are.
TEST_F(HardwareSignTest, TheOperatorSignsALayoutTypesActAsTheirKeys) {
    ostrelo::SharedSettings::open()->set("preference_sound_phone", true);
    host::HeadlessHost host(host::DeviceProfile::smallPhone());
    host.launch(ostrelo::AppStartup::description());
    auto* screen = dynamic_cast<ostrelo::ViewController*>(host.rootViewController());
    ASSERT_NE(screen, nullptr);
    uikit::AudioServices::clearRequests();
    for (const char* key : {"8", "×", "6", "÷", "4", "−", "2"}) host.pressKey(key);
    EXPECT_EQ(screen->controls().primaryCalculatorLine->text(), "8×6÷4−2");
    EXPECT_EQ(uikit::AudioServices::requests().size(), 7u);
    for (const auto& request : uikit::AudioServices::requests()) EXPECT_EQ(request.soundID, uikit::AudioServices::keyClick);
}

}  // namespace
