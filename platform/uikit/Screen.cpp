#include "platform/uikit/Screen.h"

namespace uikit {

Screen& Screen::mainScreen() {
    static Screen screen;
    return screen;
}

}  // namespace uikit
