#pragma once

#include "platform/foundation/WeakLink.h"
#include "platform/uikit/EdgeInsets.h"
#include "platform/uikit/Press.h"
#include "platform/uikit/Touch.h"
#include "platform/uikit/TraitCollection.h"
#include "platform/uikit/View.h"

#include <memory>
#include <vector>

namespace uikit {

class GestureRecognizer;
class ViewController;

// The root of a view tree on a screen: owns its root view controller, delivers one touch at a
// time (recognisers first, then the view hit at touch-down) and key presses (to the root
// controller), hosts presented controllers above the root view and answers the size classes.
class Window : public View {
public:
    explicit Window(const Rect& frame, UserInterfaceIdiom idiom = UserInterfaceIdiom::phone, double scale = 2);
    ~Window() override;

    Window* window() const override { return const_cast<Window*>(this); }
    void setRootViewController(std::unique_ptr<ViewController> controller);
    ViewController* rootViewController() const { return root_.get(); }
    // The frontmost controller: the end of the root's presentation chain.
    ViewController* topViewController() const;

    TraitCollection windowTraitCollection() const;
    // A window on a desktop takes its size classes from its own size alone
    // (TraitCollection::forDesktopWindow) instead of the device's rule.
    void setDesktopSizeClasses(bool desktop);
    // The appearance (starts as the main screen's); a change tells the whole tree.
    UserInterfaceStyle userInterfaceStyle() const { return style_; }
    void setUserInterfaceStyle(UserInterfaceStyle style);
    // The edges the device's status bar, rounded corners and home indicator take; a change lays
    // the whole tree out again.
    EdgeInsets windowSafeAreaInsets() const { return safeAreaInsets_; }
    void setSafeAreaInsets(const EdgeInsets& insets);
    UserInterfaceIdiom idiom() const { return idiom_; }
    double scale() const { return scale_; }
    // Changes the window's size: tells the controllers (viewWillTransitionToSize), lays the
    // tree out at the new size, repositions popovers, then runs the transition completions.
    void resize(Size size);

    // Touch input in window coordinates. A new touch-down cancels a touch still down.
    void touchDown(Point point, double force = 0, double maximumPossibleForce = 0);
    void touchMove(Point point, double force = 0);
    void touchUp(Point point);
    void touchCancel();
    bool touchActive() const { return active_ != nullptr; }
    void gestureRecognizerDidRecognize(GestureRecognizer* recognizer);

    // A key press (began and ended) for the first responder view, else the frontmost controller
    // that accepts it, else the root controller. While a popover is up, Escape (key code 41)
    // dismisses it as a tap outside it would, and reaches no view or controller.
    void pressKey(const Key& key);

    // The view of this window that takes key presses first (a text field being edited), or
    // null. The link does not own: a view that is gone or has left the window is none.
    View* firstResponder() const;
    // For View::becomeFirstResponder: the current first responder is asked to resign first;
    // false when it refuses or `view` is not in this window.
    bool makeFirstResponder(View& view);
    // For View::resignFirstResponder.
    void forgetFirstResponder(const View& view);
    // The first responder view resigns (its editing ends); false when it refuses. A touch that
    // goes down outside the first responder ends editing too.
    bool endEditing();

    // Status bar as last asked of the root controller.
    bool statusBarHidden() const { return statusBarHidden_; }
    int statusBarStyle() const { return statusBarStyle_; }
    void updateStatusBarAppearance();

    // Presentation, called by controllers.
    void showPresented(ViewController& controller);
    void hidePresented(ViewController& controller);

    void layoutSubviews() override;

private:
    struct ActiveTouch;
    void deliver(TouchPhase phase);
    void endEditingOutside(Point point);
    void endTouch();

    std::unique_ptr<ViewController> root_;
    UserInterfaceIdiom idiom_;
    double scale_;
    UserInterfaceStyle style_;
    bool desktopSizeClasses_ = false;
    EdgeInsets safeAreaInsets_;
    bool statusBarHidden_ = false;
    int statusBarStyle_ = 0;
    // Shared so that a delivery in progress keeps its touch when a handler ends the sequence.
    std::shared_ptr<ActiveTouch> active_;
    double nextTimestamp_ = 0;
    foundation::WeakLink<View> firstResponder_;
};

}  // namespace uikit
