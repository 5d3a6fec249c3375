#include "OstreloMessage/MessagesViewController.h"

#include "OstreloMessage/MessagesCollapsedViewController.h"
#include "OstreloMessage/MessagesExpandedViewController.h"
#include "platform/foundation/Log.h"
#include "platform/uikit/LayoutConstraint.h"
#include "platform/uikit/LayoutGuide.h"
#include "platform/uikit/Storyboard.h"

namespace ostrelo {

std::string MessagesViewController::unableToInstantiate(const std::string& scene) {
    return "Unable to instantiate an " + scene + " from the storyboard";
}

template <class T>
std::unique_ptr<T> MessagesViewController::instantiate(const std::string& scene) {
    std::string error;
    const uikit::Storyboard* board = storyboard();
    auto made = board != nullptr ? board->instantiateViewController(scene, error) : nullptr;
    if (dynamic_cast<T*>(made.get()) == nullptr) {
        if (board == nullptr) error = "the root was not made from a storyboard";
        else if (made) error = "the scene is of another class";
        foundation::Log::error(unableToInstantiate(scene) + ": " + error);
        return nullptr;
    }
    return std::unique_ptr<T>(static_cast<T*>(made.release()));
}

// ---- What the host calls ------------------------------------------------------------------

void MessagesViewController::viewWillAppear(bool animated) {
    uikit::MessagesAppViewController::viewWillAppear(animated);
    for (const auto& child : childViewControllers()) child->viewWillAppear(animated);
}

void MessagesViewController::viewDidAppear(bool animated) {
    uikit::MessagesAppViewController::viewDidAppear(animated);
    for (const auto& child : childViewControllers()) child->viewDidAppear(animated);
}

void MessagesViewController::willBecomeActiveWithConversation(const std::shared_ptr<uikit::Conversation>& conversation) {
    presentChildController(conversation, presentationStyle());
}

void MessagesViewController::willTransitionToPresentationStyle(int style) {
    uikit::MessagesAppViewController::willTransitionToPresentationStyle(style);
    removeChildControllers();
}

// A host may report no conversation after a change of style. The calculator of the new style is
// shown anyway: the expanded one never uses the conversation, and the compact one then sends to
// no one (it still evaluates, copies and closes).
void MessagesViewController::didTransitionToPresentationStyle(int style) {
    uikit::MessagesAppViewController::didTransitionToPresentationStyle(style);
    const std::shared_ptr<uikit::Conversation> conversation = activeConversation();
    if (!conversation)
        foundation::Log::warning("messages: no active conversation after the change of style; the calculator is "
                                 "shown without one and sends nothing");
    presentChildController(conversation, style);
}

void MessagesViewController::dismiss() { uikit::MessagesAppViewController::dismiss(); }

// ---- The child ----------------------------------------------------------------------------

void MessagesViewController::presentChildController(const std::shared_ptr<uikit::Conversation>& conversation,
                                                    int style) {
    removeChildControllers();
    if (style != uikit::MessagesAppPresentationStyleCompact) {
        auto expanded = instantiate<MessagesExpandedViewController>(expandedScene);
        if (!expanded) return;
        expanded->setSavedConversation(conversation);
        showChild(std::move(expanded));
    } else {
        auto collapsed = instantiateCollapsedController(conversation);
        if (!collapsed) return;
        showChild(std::move(collapsed));
    }
}

std::unique_ptr<MessagesCollapsedViewController> MessagesViewController::instantiateCollapsedController(
    const std::shared_ptr<uikit::Conversation>& conversation) {
    auto collapsed = instantiate<MessagesCollapsedViewController>(collapsedScene);
    if (!collapsed) return nullptr;
    collapsed->setSavedConversation(conversation);
    collapsed->setDelegate(this, alive());
    return collapsed;
}

bool MessagesViewController::onScreen() { return view()->window() != nullptr; }

// The child's view fills the root's width and its safe area's height. While the root is on
// screen the child hears of its appearance as a child added to a shown view does.
void MessagesViewController::showChild(std::unique_ptr<uikit::ViewController> made) {
    uikit::ViewController* child = addChildViewController(std::move(made));
    uikit::View* root = view();
    uikit::View* childView = child->view();
    if (childView == nullptr) return;
    const std::weak_ptr<void> childAlive = child->alive();
    const bool appearing = onScreen();
    childView->setFrame(root->bounds());
    childView->translatesAutoresizingMaskIntoConstraints = false;
    if (appearing) child->viewWillAppear(false);
    if (childAlive.expired()) return;
    child->moveViewInto(root);
    uikit::LayoutConstraint::activateConstraints({
        childView->leftAnchor().constraintEqualToAnchor(root->leftAnchor()),
        childView->rightAnchor().constraintEqualToAnchor(root->rightAnchor()),
        childView->topAnchor().constraintEqualToAnchor(root->safeAreaLayoutGuide().topAnchor()),
        childView->bottomAnchor().constraintEqualToAnchor(root->safeAreaLayoutGuide().bottomAnchor()),
    });
    child->didMoveToParentViewController(this);
    if (!appearing || childAlive.expired()) return;
    root->layoutIfNeeded();
    if (!childAlive.expired()) child->viewDidAppear(false);
}

void MessagesViewController::removeChildControllers() {
    std::vector<uikit::ViewController*> children;
    for (const auto& child : childViewControllers()) children.push_back(child.get());
    const bool disappearing = onScreen();
    for (uikit::ViewController* child : children) {
        child->willMoveToParentViewController(nullptr);
        if (disappearing) child->viewWillDisappear(false);
        child->takeViewBack();
        if (disappearing) child->viewDidDisappear(false);
        auto gone = child->removeFromParentViewController();
    }
}

}  // namespace ostrelo
