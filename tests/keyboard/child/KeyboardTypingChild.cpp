// Taps the keys named on its command line on the keyboard under a headless text field (the nib
// "Keyboard"), lets queued work run, prints the field's text and exits: another deliverable's
// process writing the shared store.
#include "keyboard/KeyboardViewController.h"
#include "platform/foundation/Locale.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/TextFieldHost.h"
#include "platform/uikit/Storyboard.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorView.h"

#include <cstdio>

int main(int argc, char** argv) {
    foundation::Locale::setCurrent("en_US");
    uikit::Storyboard::setDirectory(std::filesystem::path(OSTRELO_SCENES));
    host::HeadlessHost host(host::DeviceProfile::smallPhone());
    auto* field = host::TextFieldHost::launch(host, [] { return std::make_unique<ostrelo::KeyboardViewController>(); });
    auto* keyboard = field != nullptr ? dynamic_cast<ostrelo::KeyboardViewController*>(field->keyboard()) : nullptr;
    if (keyboard == nullptr || keyboard->controls().ostreloView == nullptr) return 1;
    for (int i = 1; i < argc; ++i) {
        ostrelo::CalculatorButton* found = nullptr;
        for (const auto& view : keyboard->controls().ostreloView->subviews())
            if (auto* key = dynamic_cast<ostrelo::CalculatorButton*>(view.get()); key && key->normalTitle() == argv[i])
                found = key;
        if (found == nullptr) {
            std::fprintf(stderr, "no key reads \"%s\"\n", argv[i]);
            return 2;
        }
        host.tap(host::HeadlessHost::centerOf(*found));
    }
    host.runUntilIdle();
    std::printf("field %s\n", field->fieldText().c_str());
    return 0;
}
