// ostrelo: the calculator app in a desktop window.
#include "app/AppStartup.h"
#include "platform/host/WindowHost.h"
#include "platform/uikit/Storyboard.h"

#include <malloc.h>

#include <cstdio>

int main(int argc, char** argv) {
    // One heap for every thread: the few helper threads (rates, requests from later starts)
    // allocate little, and an arena of their own each would cost more memory than they use.
    mallopt(M_ARENA_MAX, 1);
    std::string error;
    if (!uikit::Storyboard::named("Main", error)) {
        std::fprintf(stderr, "ostrelo: %s\n", error.c_str());
        return 1;
    }
    return host::WindowHost::run(argc, argv, ostrelo::AppStartup::description());
}
