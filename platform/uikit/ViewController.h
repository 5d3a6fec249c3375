#pragma once

#include "platform/foundation/Lifetime.h"
#include "platform/uikit/Responder.h"
#include "platform/uikit/Size.h"
#include "platform/uikit/TraitCollection.h"
#include "platform/uikit/TransitionCoordinator.h"
#include "platform/uikit/View.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace uikit {

class PopoverPresentationController;
class Storyboard;
class Window;

enum ModalPresentationStyle : int {
    ModalPresentationNone = -1,
    ModalPresentationFullScreen = 0,
    ModalPresentationPopover = 7,
};

enum StatusBarStyle : int { StatusBarStyleDefault = 0, StatusBarStyleLightContent = 1, StatusBarStyleDarkContent = 3 };

// Manages one view tree. The controller owns its root view; while the view sits in another
// tree (a window, a parent's view, a popover) that tree holds it and the controller takes it
// back when it leaves. Child controllers and the presented controller are owned.
class ViewController : public Responder {
public:
    ViewController();
    ~ViewController() override;
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // The root view, loaded (loadView, then viewDidLoad) on first use.
    View* view();
    bool isViewLoaded() const { return loaded_; }
    void setView(std::unique_ptr<View> view);
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) { (void)animated; }
    virtual void viewDidAppear(bool animated) { (void)animated; }
    virtual void viewWillDisappear(bool animated) { (void)animated; }
    virtual void viewDidDisappear(bool animated) { (void)animated; }
    virtual void viewWillTransitionToSize(Size size, TransitionCoordinator& coordinator);
    // After each layout of the root view, once its whole subtree is laid out.
    virtual void viewDidLayoutSubviews() {}
    virtual TraitCollection traitCollection();
    // Called when the traits of the root view changed (previous null the first time it is in a
    // window), before the view hears of it.
    virtual void traitCollectionDidChange(const TraitCollection* previous) { (void)previous; }
    // Base: nothing (memory is not short here; kept for screens that pass it on).
    virtual void didReceiveMemoryWarning() {}
    // The constraint pass of the root view: before its first layout and after each size change.
    virtual void updateViewConstraints() {}

    // Children
    ViewController* addChildViewController(std::unique_ptr<ViewController> child);
    std::unique_ptr<ViewController> removeFromParentViewController();
    const std::vector<std::unique_ptr<ViewController>>& childViewControllers() const { return children_; }
    ViewController* parentViewController() const { return parent_; }
    virtual void willMoveToParentViewController(ViewController* parent) { (void)parent; }
    virtual void didMoveToParentViewController(ViewController* parent) { (void)parent; }
    // Puts the root view into `superview` (which then holds it) / takes it back.
    void moveViewInto(View* superview);
    void takeViewBack();

    // Status bar
    virtual bool prefersStatusBarHidden() { return false; }
    virtual int preferredStatusBarStyle() { return StatusBarStyleDefault; }
    void setNeedsStatusBarAppearanceUpdate();
    virtual unsigned supportedInterfaceOrientations() { return 30; }

    // Presentation
    int modalPresentationStyle = ModalPresentationFullScreen;
    Size preferredContentSize;
    // Made on first use for a controller with the popover style, else null.
    PopoverPresentationController* popoverPresentationController();
    void presentViewController(std::unique_ptr<ViewController> controller, bool animated,
                               std::function<void()> completion = {});
    // Dismisses the controller presented by this one (or, called on a presented controller,
    // itself).
    void dismissViewController(bool animated, std::function<void()> completion = {});
    ViewController* presentedViewController() const { return presented_.get(); }
    ViewController* presentingViewController() const { return presenting_; }
    Window* window();

    Responder* nextResponder() const override;

    // Outlets: named slots that a scene fills with views of the right class.
    template <class T>
    void declareOutlet(const std::string& name, T*& slot) {
        outlets_[name] = [&slot](View* view) {
            T* typed = dynamic_cast<T*>(view);
            if (view != nullptr && typed == nullptr) return false;
            slot = typed;
            return true;
        };
        outletReaders_[name] = [&slot]() -> View* { return slot; };
    }
    std::vector<std::string> outletNames() const;
    bool hasOutlet(const std::string& name) const { return outlets_.count(name) != 0; }
    // False when there is no such outlet or the view has the wrong class.
    bool bindOutlet(const std::string& name, View* view);
    // The view bound to a view outlet, for tools that address views by outlet name; null for
    // an unknown or empty outlet.
    View* outletNamed(const std::string& name) const;

    std::string storyboardIdentifier;
    // The storyboard this controller was made from (null for one made in code).
    const Storyboard* storyboard() const { return storyboard_.get(); }
    void setStoryboard(std::shared_ptr<const Storyboard> storyboard) { storyboard_ = std::move(storyboard); }
    std::weak_ptr<void> alive() const { return lifetime_.weak(); }

protected:
    foundation::Lifetime lifetime_;

private:
    friend class PopoverPresentationController;
    View* loadedView() const;
    std::unique_ptr<ViewController> takePresented();

    std::unique_ptr<View> ownedView_;
    View* view_ = nullptr;
    std::weak_ptr<void> viewAlive_;
    bool loaded_ = false;
    bool loading_ = false;
    std::vector<std::unique_ptr<ViewController>> children_;
    ViewController* parent_ = nullptr;
    std::unique_ptr<ViewController> presented_;
    ViewController* presenting_ = nullptr;
    std::unique_ptr<PopoverPresentationController> popover_;
    std::map<std::string, std::function<bool(View*)>> outlets_;
    std::map<std::string, std::function<View*()>> outletReaders_;
    std::shared_ptr<const Storyboard> storyboard_;
};

}  // namespace uikit
