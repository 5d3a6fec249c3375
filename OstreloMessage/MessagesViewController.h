#pragma once

#include "OstreloMessage/MessagesCollapsedViewControllerDelegate.h"
#include "platform/uikit/MessagesAppViewController.h"

#include <memory>
#include <string>

namespace ostrelo {

class MessagesCollapsedViewController;

// The extension's root, the initial scene of the storyboard "MainInterface". It owns no
// calculator: it shows exactly one child, the compact pad in the compact presentation style and
// the expanded calculator in any other, made afresh from its storyboard at every activation and
// every change of style (the old child, calculator included, is gone first). It closes the
// extension's interface when the compact pad has sent a result.
class MessagesViewController : public uikit::MessagesAppViewController, public MessagesCollapsedViewControllerDelegate {
public:
    static constexpr const char* collapsedScene = "MessagesCollapsedViewController";
    static constexpr const char* expandedScene = "MessagesExpandedViewController";

    // What is logged when a child's scene is missing from the storyboard or of another class.
    static std::string unableToInstantiate(const std::string& scene);

    // uikit::MessagesAppViewController
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void willBecomeActiveWithConversation(const std::shared_ptr<uikit::Conversation>& conversation) override;
    void willTransitionToPresentationStyle(int style) override;
    void didTransitionToPresentationStyle(int style) override;

    // MessagesCollapsedViewControllerDelegate: asks the host to close the interface.
    void dismiss() override;

    // Replaces the shown child by a new one for `style`, laid out across the full width between
    // the top and the bottom of the safe area. A child whose scene cannot be made is logged and
    // nothing is shown.
    virtual void presentChildController(const std::shared_ptr<uikit::Conversation>& conversation, int style);
    virtual std::unique_ptr<MessagesCollapsedViewController> instantiateCollapsedController(
        const std::shared_ptr<uikit::Conversation>& conversation);
    virtual void removeChildControllers();

private:
    // The controller of a scene of this controller's storyboard, when it is of class T.
    template <class T>
    std::unique_ptr<T> instantiate(const std::string& scene);
    void showChild(std::unique_ptr<uikit::ViewController> child);
    bool onScreen();
};

}  // namespace ostrelo
