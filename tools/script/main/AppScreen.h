#pragma once

#include "tools/script/ScreenDefinition.h"

namespace script {

// The app's calculator screen as `ostrelo` starts it (`screen app`): the storyboard Main found
// beside the runner as the app finds it beside itself, the app's delegate and start-up, and a
// quick action given before `start` as the command line's `--shortcut NAME`. The rate check
// never reaches the network: the feed's address is a closed port of this machine, so a due
// download fails at once and stores nothing; the start waits for it.
struct AppScreen {
    static ScreenDefinition definition();
};

}  // namespace script
