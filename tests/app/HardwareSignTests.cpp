#include "platform/host/HeadlessHost.h"
#include "tests/app/AppTest.h"
#include "ui/CalculatorCalcLabel.h"

namespace {

class HardwareSignTest : public apptest::AppTest {};

// "×", "÷" and "−" as a keyboard layout types them (AltGr, Compose) are the operator keys.
TEST_F(HardwareSignTest, TheOperatorSignsALayoutTypesActAsTheirKeys) {
    host::HeadlessHost host(host::DeviceProfile::smallPhone());
    host.launch(ostrelo::AppStartup::description());
    for (const char* key : {"8", "×", "6", "÷", "4", "−", "2"}) host.pressKey(key);
    auto* screen = dynamic_cast<ostrelo::ViewController*>(host.rootViewController());
    EXPECT_EQ(screen->controls().primaryCalculatorLine->text(), "8×6÷4−2");
}

}  // namespace
