#pragma once

#include "platform/foundation/WeakLink.h"
#include "platform/uikit/ExtensionContext.h"
#include "platform/uikit/Size.h"

#include <functional>
#include <memory>

namespace uikit {

// Results of a widget's update (raw values of the platform).
enum WidgetUpdateResult : int {
    WidgetUpdateResultNewData = 0,
    WidgetUpdateResultNoData = 1,
    WidgetUpdateResultFailed = 2,
};

// What a widget's controller answers to its host: update requests, with a completion that gets
// one of the results above, and display-mode changes with the mode's maximum size. The host
// also hands it the extension context.
class WidgetProviding {
public:
    using UpdateCompletion = std::function<void(int result)>;

    virtual ~WidgetProviding() = default;
    virtual void widgetPerformUpdateWithCompletionHandler(UpdateCompletion completion) = 0;
    virtual void widgetActiveDisplayModeDidChange(int mode, Size maximumSize) = 0;

    // Null outside a host, or once the host is gone.
    ExtensionContext* extensionContext() const { return context_.get(); }
    // Set by the host: a link that does not own, guarded by `guard`.
    void setExtensionContext(ExtensionContext* context, std::weak_ptr<void> guard) {
        context_ = foundation::WeakLink<ExtensionContext>(context, std::move(guard));
    }

private:
    foundation::WeakLink<ExtensionContext> context_;
};

}  // namespace uikit
