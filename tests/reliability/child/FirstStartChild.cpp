// A first start that never shows its first frame: it holds the store of $OSTRELO_GROUP_DIR,
// writes into the stand-in, prints the stand-in's folder and waits until it is killed.
#include "platform/foundation/StoreHold.h"
#include "platform/foundation/UserDefaults.h"

#include <unistd.h>

#include <cstdio>

int main() {
    const auto directory = foundation::UserDefaults::groupDirectory();
    if (!foundation::StoreHold::hold(directory)) return 1;
    foundation::UserDefaults(directory).set("launchCount", std::int64_t{1});
    std::printf("held %s\n", foundation::StoreHold::standInFile("group.sqlite").parent_path().c_str());
    std::fflush(stdout);
    for (;;) ::pause();
}
