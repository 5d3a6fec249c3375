// Another program choosing the theme, as the app's Settings screen does: stores the theme named
// on the command line ("dark" or "light") in the store of $OSTRELO_GROUP_DIR.
#include "engine/SharedSettings.h"

#include <string>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    using ostrelo::SharedSettings;
    return SharedSettings::store(SharedSettings::darkTheme.name, std::string(argv[1]) == "dark") ? 0 : 1;
}
