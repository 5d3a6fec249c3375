#pragma once

#include "platform/foundation/Lifetime.h"
#include "platform/uikit/Control.h"
#include "platform/uikit/GestureRecognizer.h"
#include "platform/uikit/Responder.h"
#include "platform/uikit/Size.h"
#include "platform/uikit/TraitCollection.h"
#include "platform/uikit/TransitionCoordinator.h"
#include "platform/uikit/View.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

namespace uikit {

class LayoutConstraint;
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

    // Outlets: named slots that a scene fills. A view outlet takes a view of its class, a
    // recogniser outlet a gesture recogniser of its class, a constraint outlet a layout
    // constraint (held strongly or weakly as declared) and a collection every view of its class
    // that the scene adds to it, in the scene's order.
    template <class T>
    void declareOutlet(const std::string& name, T*& slot) {
        if constexpr (std::is_base_of_v<GestureRecognizer, T>) {
            outlets_[name] = Outlet{[&slot](const OutletValue& value) {
                                        auto* recognizer = std::get_if<GestureRecognizer*>(&value);
                                        if (recognizer == nullptr) return false;
                                        T* typed = dynamic_cast<T*>(*recognizer);
                                        if (*recognizer != nullptr && typed == nullptr) return false;
                                        slot = typed;
                                        return true;
                                    },
                                    [] { return static_cast<View*>(nullptr); }, [&slot] { slot = nullptr; }};
        } else {
            static_assert(std::is_base_of_v<View, T>, "an outlet holds a view, a recogniser or a constraint");
            outlets_[name] = Outlet{[&slot](const OutletValue& value) {
                                        auto* view = std::get_if<View*>(&value);
                                        if (view == nullptr) return false;
                                        T* typed = dynamic_cast<T*>(*view);
                                        if (*view != nullptr && typed == nullptr) return false;
                                        slot = typed;
                                        return true;
                                    },
                                    [&slot] { return static_cast<View*>(slot); }, [&slot] { slot = nullptr; }};
        }
    }
    void declareOutlet(const std::string& name, std::shared_ptr<LayoutConstraint>& slot);
    void declareOutlet(const std::string& name, std::weak_ptr<LayoutConstraint>& slot);
    template <class T>
    void declareOutletCollection(const std::string& name, std::vector<T*>& slot) {
        static_assert(std::is_base_of_v<View, T>, "an outlet collection holds views");
        outlets_[name] = Outlet{[&slot](const OutletValue& value) {
                                    auto* view = std::get_if<View*>(&value);
                                    T* typed = view != nullptr ? dynamic_cast<T*>(*view) : nullptr;
                                    if (typed == nullptr) return false;
                                    slot.push_back(typed);
                                    return true;
                                },
                                [] { return static_cast<View*>(nullptr); }, [&slot] { slot.clear(); }, true};
    }
    std::vector<std::string> outletNames() const;
    bool hasOutlet(const std::string& name) const { return outlets_.count(name) != 0; }
    bool isOutletCollection(const std::string& name) const;
    // False when there is no such outlet or it cannot hold what is given (a null view empties a
    // view outlet); a collection adds the view.
    bool bindOutlet(const std::string& name, View* view);
    bool bindOutlet(const std::string& name, GestureRecognizer* recognizer);
    bool bindOutlet(const std::string& name, const std::shared_ptr<LayoutConstraint>& constraint);
    // Empties the outlet (a collection loses every view).
    void clearOutlet(const std::string& name);
    // The view bound to a view outlet, for tools that address views by outlet name; null for
    // an unknown or empty outlet and for outlets of other kinds.
    View* outletNamed(const std::string& name) const;

    // Actions: named operations a scene connects to its controls and recognisers. Each is
    // declared for the class of sender it accepts.
    template <class Sender>
    void declareAction(const std::string& name, std::function<void(Sender&)> action) {
        ActionSlot slot;
        if constexpr (std::is_base_of_v<GestureRecognizer, Sender>) {
            slot.recognizerAccepts = [](GestureRecognizer& sender) {
                return dynamic_cast<Sender*>(&sender) != nullptr;
            };
            slot.recognizerAction = [action](GestureRecognizer& sender) {
                if (auto* typed = dynamic_cast<Sender*>(&sender)) action(*typed);
            };
        } else {
            static_assert(std::is_base_of_v<Control, Sender>, "an action is sent by a control or a recogniser");
            slot.controlAccepts = [](Control& sender) { return dynamic_cast<Sender*>(&sender) != nullptr; };
            slot.controlAction = [action](Control& sender) {
                if (auto* typed = dynamic_cast<Sender*>(&sender)) action(*typed);
            };
        }
        actions_[name] = std::move(slot);
    }
    bool hasAction(const std::string& name) const { return actions_.count(name) != 0; }
    // Makes `sender` send the action for `events` while this controller lives. False when there
    // is no such action or it does not take this sender.
    bool connectAction(const std::string& name, Control& sender, unsigned events);
    bool connectAction(const std::string& name, GestureRecognizer& sender);

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
    using OutletValue = std::variant<View*, GestureRecognizer*, std::shared_ptr<LayoutConstraint>>;
    struct Outlet {
        std::function<bool(const OutletValue&)> bind;
        std::function<View*()> view;
        std::function<void()> clear;
        bool collection = false;
    };
    struct ActionSlot {
        std::function<bool(Control&)> controlAccepts;
        std::function<void(Control&)> controlAction;
        std::function<bool(GestureRecognizer&)> recognizerAccepts;
        std::function<void(GestureRecognizer&)> recognizerAction;
    };
    bool bind(const std::string& name, const OutletValue& value);

    std::map<std::string, Outlet> outlets_;
    std::map<std::string, ActionSlot> actions_;
    std::shared_ptr<const Storyboard> storyboard_;
};

}  // namespace uikit
