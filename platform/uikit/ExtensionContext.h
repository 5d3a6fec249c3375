#pragma once

#include "platform/uikit/Size.h"

#include <functional>
#include <string>

namespace uikit {

// Display modes of a widget (raw values of the platform).
enum WidgetDisplayMode : int {
    WidgetDisplayModeCompact = 0,
    WidgetDisplayModeExpanded = 1,
};

// What the host of a widget offers it: the display modes the widget takes part in, the largest
// size of each, and opening a URL (which brings the app forward).
class ExtensionContext {
public:
    using OpenCompletion = std::function<void(bool success)>;

    virtual ~ExtensionContext() = default;
    // The largest mode the user may switch the widget to (compact until the widget offers more).
    virtual int widgetLargestAvailableDisplayMode() const = 0;
    virtual void setWidgetLargestAvailableDisplayMode(int mode) = 0;
    virtual int widgetActiveDisplayMode() const = 0;
    virtual Size widgetMaximumSizeForDisplayMode(int mode) const = 0;
    // The completion, when given, runs on the main run loop with whether the URL was opened.
    virtual void openURL(const std::string& url, OpenCompletion completion) = 0;
};

}  // namespace uikit
