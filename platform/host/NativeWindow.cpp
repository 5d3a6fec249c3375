#include "platform/host/NativeWindow.h"

#include "platform/host/OffscreenWindow.h"
#include "platform/host/X11Window.h"

#include <cstdlib>

namespace host {

std::unique_ptr<NativeWindow> NativeWindow::open(const Options& options, std::string& error) {
    const char* set = std::getenv(systemVariable);
    const std::string system = set != nullptr ? set : "";
    if (system == "offscreen") return std::make_unique<OffscreenWindow>(options);
    if (system.empty() || system == "x11") return X11Window::open(options, error);
    error = std::string("unknown window system \"") + system + "\" in " + systemVariable + " (x11 or offscreen)";
    return nullptr;
}

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
