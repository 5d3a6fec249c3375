// ostrelo-keyboard: the calculator keyboard under the text field of its own window.
#include "keyboard/KeyboardViewController.h"
#include "platform/host/TextFieldHost.h"

int main(int argc, char** argv) {
    return host::TextFieldHost::run(argc, argv, [] { return std::make_unique<ostrelo::KeyboardViewController>(); });
}
