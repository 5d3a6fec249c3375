#include "platform/host/NativeWindow.h"

namespace host {

std::optional<WindowEvent> NativeWindow::nextEvent() {
    if (!posted_.empty()) {
        WindowEvent event = posted_.front();
        posted_.pop_front();
        return event;
    }
    return nextSystemEvent();
}

bool NativeWindow::hasEvents() { return !posted_.empty() || hasSystemEvents(); }

}  // namespace host
