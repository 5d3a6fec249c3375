// ostrelo: the calculator app in a desktop window.
#include "app/AppStartup.h"
#include "platform/host/WindowHost.h"
#include "platform/uikit/Storyboard.h"

#include <cstdio>

int main(int argc, char** argv) {
    std::string error;
    if (!uikit::Storyboard::named("Main", error)) {
        std::fprintf(stderr, "ostrelo: %s\n", error.c_str());
        return 1;
    }
    return host::WindowHost::run(argc, argv, ostrelo::AppStartup::description());
}
