// Types 1+2+3+…+9+1+… on the app's screen in the headless host, as fast as it can, until it is
// killed; reports each finished key on standard output ("typed N").
#include "app/AppStartup.h"
#include "app/ViewController.h"
#include "engine/ExchangeRateFeed.h"
#include "platform/foundation/Locale.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Storyboard.h"
#include "screens/ScreenControls.h"
#include "ui/CalculatorButton.h"

#include <cstdio>

int main() {
    foundation::Locale::setCurrent("en_US");
    ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
    uikit::Storyboard::setDirectory(std::filesystem::path(OSTRELO_SCENES));
    host::HeadlessHost host(host::DeviceProfile::smallPhone());
    host.launch(ostrelo::AppStartup::description());
    auto* screen = dynamic_cast<ostrelo::ViewController*>(host.rootViewController());
    if (screen == nullptr || screen->controls().buttonOne == nullptr) return 1;
    const ostrelo::ScreenControls& keys = screen->controls();
    ostrelo::CalculatorButton* const digits[] = {keys.buttonOne,   keys.buttonTwo,   keys.buttonThree,
                                                 keys.buttonFour,  keys.buttonFive,  keys.buttonSix,
                                                 keys.buttonSeven, keys.buttonEight, keys.buttonNine};
    for (long typed = 0;; ++typed) {
        ostrelo::CalculatorButton* key = typed % 2 == 0 ? digits[(typed / 2) % 9] : keys.buttonsAdd;
        host.tap(host::HeadlessHost::centerOf(*key));
        std::printf("typed %ld\n", typed + 1);
        std::fflush(stdout);
    }
}
