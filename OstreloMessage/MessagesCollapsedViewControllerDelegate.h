#pragma once

namespace ostrelo {

// What the compact calculator asks of the controller that shows it: to close the extension's
// interface once a result has been sent.
class MessagesCollapsedViewControllerDelegate {
public:
    virtual ~MessagesCollapsedViewControllerDelegate() = default;
    virtual void dismiss() = 0;
};

}  // namespace ostrelo
