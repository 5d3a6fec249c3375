#pragma once

#include "platform/host/PanelHost.h"

#include <memory>
#include <string>

namespace ostrelo {

class TodayViewController;

// The widget as every host starts it: the initial scene of the storyboard "Today", made by the
// panel host's factory once the panel has loaded.
class TodayStartup {
public:
    // What the panel host calls: the widget, or none when its scene cannot be loaded (logged).
    // Also makes the widget's classes known to scenes and fills the bundle's info.
    static host::PanelHost::Factory factory();
    // The widget, the initial scene of the storyboard "Today"; null, with the reason, when the
    // scene cannot be loaded.
    static std::unique_ptr<TodayViewController> makeWidget(std::string& error);
    // The class names that the widget's scene uses; safe to repeat.
    static void registerClasses();
};

}  // namespace ostrelo
