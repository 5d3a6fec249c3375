#pragma once

#include "platform/foundation/Lifetime.h"
#include "platform/uikit/AffineTransform.h"
#include "platform/uikit/Color.h"
#include "platform/uikit/EdgeInsets.h"
#include "platform/uikit/GestureRecognizer.h"
#include "platform/uikit/Layer.h"
#include "platform/uikit/LayoutAnchor.h"
#include "platform/uikit/LayoutGuide.h"
#include "platform/uikit/Rect.h"
#include "platform/uikit/Responder.h"
#include "platform/uikit/TraitCollection.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace uikit {

class LayoutConstraint;
class SceneLayout;
class ViewController;
class Window;

// View animation options (bit values of the platform).
enum ViewAnimationOptions : unsigned {
    ViewAnimationOptionLayoutSubviews = 1u << 0,
    ViewAnimationOptionAllowUserInteraction = 1u << 1,
    ViewAnimationOptionBeginFromCurrentState = 1u << 2,
    ViewAnimationOptionOverrideInheritedDuration = 1u << 5,
    ViewAnimationOptionOverrideInheritedCurve = 1u << 6,
    ViewAnimationOptionOverrideInheritedOptions = 1u << 9,
    ViewAnimationOptionCurveEaseInOut = 0u << 16,
    ViewAnimationOptionCurveEaseIn = 1u << 16,
    ViewAnimationOptionCurveEaseOut = 2u << 16,
    ViewAnimationOptionCurveLinear = 3u << 16,
};

// A rectangle of the interface. A view owns its subviews (in order, last on top) and its
// gesture recognisers; the superview link does not own. Geometry lives in the view's layer:
// center (the layer's position), bounds and transform; the frame is derived from them.
class View : public Responder {
public:
    View();
    explicit View(const Rect& frame);
    ~View() override;
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // Tree
    View* addSubview(std::unique_ptr<View> view);
    template <class T>
    T* add(std::unique_ptr<T> view) {
        T* raw = view.get();
        addSubview(std::move(view));
        return raw;
    }
    View* insertSubview(std::unique_ptr<View> view, std::size_t index);
    // Detaches this view and hands it to the caller (null when it has no superview).
    std::unique_ptr<View> removeFromSuperview();
    View* superview() const { return superview_; }
    const std::vector<std::unique_ptr<View>>& subviews() const { return subviews_; }
    virtual Window* window() const;
    bool isDescendantOf(const View* view) const;
    View* viewWithTag(int tag);
    virtual void didMoveToSuperview() {}
    virtual void didMoveToWindow() {}

    // Geometry
    Rect frame() const { return layer_->frame(); }
    void setFrame(const Rect& frame);
    Rect bounds() const { return layer_->bounds(); }
    void setBounds(const Rect& bounds);
    Point center() const { return layer_->position(); }
    void setCenter(Point center);
    AffineTransform transform() const { return layer_->transform(); }
    void setTransform(const AffineTransform& transform);
    // When set, the base layout gives this view the frame (fractions of the superview's bounds).
    std::optional<Rect> relativeFrame;

    Point convertPoint(Point point, const View* to) const;  // to null: window coordinates
    Point convertPointFrom(Point point, const View* from) const;
    Rect convertRect(const Rect& rect, const View* to) const;
    Point convertPointToWindow(Point point) const;
    Point convertPointFromWindow(Point point) const;

    // Properties
    bool hidden() const { return layer_->hidden; }
    void setHidden(bool hidden) { layer_->hidden = hidden; }
    double alpha() const { return layer_->opacity(); }
    void setAlpha(double alpha);
    std::optional<Color> backgroundColor() const { return layer_->backgroundColor; }
    virtual void setBackgroundColor(std::optional<Color> color);
    bool userInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
    bool clipsToBounds() const { return layer_->masksToBounds; }
    void setClipsToBounds(bool clips) { layer_->masksToBounds = clips; }
    int tag = 0;
    bool exclusiveTouch = false;
    std::optional<Color> tintColor;
    bool accessibilityIgnoresInvertColors = false;

    Layer& layer() const { return *layer_; }
    // Masks the view to its bounds with the given corners rounded (replacing any mask).
    void roundCorners(unsigned corners, double radius);

    // Layout and drawing
    void setNeedsLayout() { needsLayout_ = true; }
    // Lays this view and its subtree out, where asked for.
    void layoutIfNeeded();
    // Base: places subviews that have a relative frame.
    virtual void layoutSubviews();
    virtual void drawRect(const Rect& rect);
    void setNeedsDisplay() { needsDisplay_ = true; }
    void didDisplay() { needsDisplay_ = false; }
    virtual Size sizeThatFits(Size size) const { (void)size; return bounds().size; }
    // The window's traits; outside a window, those of a window filling the main screen (so a
    // controller loading its view sees the size classes it will be shown in).
    virtual TraitCollection traitCollection() const;
    // Called when the traits of the view changed (previous is null the first time the view is
    // in a window), before the view's next layout.
    virtual void traitCollectionDidChange(const TraitCollection* previous) { (void)previous; }
    // Tells this view (and its controller, first) and its subtree of changed traits.
    void updateTraitCollection();

    // Safe area: the insets of the window's safe area that overlap this view (zero outside a
    // window), and the guide over the rest of the bounds.
    EdgeInsets safeAreaInsets() const;
    const LayoutGuide& safeAreaLayoutGuide() const;

    // Constraints. A view whose translatesAutoresizingMaskIntoConstraints is off gets its frame
    // from the active constraints when its superview lays out.
    bool translatesAutoresizingMaskIntoConstraints = true;
    LayoutAnchor leftAnchor() { return anchor(LayoutAttribute::left); }
    LayoutAnchor rightAnchor() { return anchor(LayoutAttribute::right); }
    LayoutAnchor topAnchor() { return anchor(LayoutAttribute::top); }
    LayoutAnchor bottomAnchor() { return anchor(LayoutAttribute::bottom); }
    LayoutAnchor widthAnchor() { return anchor(LayoutAttribute::width); }
    LayoutAnchor heightAnchor() { return anchor(LayoutAttribute::height); }
    // Installs the constraint on this view and activates it.
    void addConstraint(const std::shared_ptr<LayoutConstraint>& constraint);
    void removeConstraint(const std::shared_ptr<LayoutConstraint>& constraint);
    // The constraints installed on this view.
    const std::vector<std::shared_ptr<LayoutConstraint>>& constraints() const { return constraints_; }
    // Constraint pass: runs before the layout that follows a size change (and before the first).
    virtual void updateConstraints() {}

    // Touches
    virtual View* hitTest(Point point, const Event* event);
    virtual bool pointInside(Point point, const Event* event) const;
    Responder* nextResponder() const override;

    // Key input: a view that can become first responder (a text field) takes its window's key
    // presses before the controllers do (Window::firstResponder). Asked to resign, a view may
    // refuse (false). Base: becomes it when it can and is in a window; resigns at once.
    virtual bool becomeFirstResponder();
    virtual bool resignFirstResponder();
    bool isFirstResponder() const;

    // Gesture recognisers (owned)
    GestureRecognizer* addGestureRecognizer(std::unique_ptr<GestureRecognizer> recognizer);
    std::vector<GestureRecognizer*> gestureRecognizers() const;

    // Animations of frame, bounds, center, transform, alpha and background colour.
    static void animate(double duration, double delay, unsigned options, const std::function<void()>& animations,
                        std::function<void(bool finished)> completion = {});
    static void animate(double duration, const std::function<void()>& animations,
                        std::function<void(bool finished)> completion = {});
    static void setAnimationsEnabled(bool enabled);
    static bool areAnimationsEnabled();
    static void performWithoutAnimation(const std::function<void()>& actions);

    // The controller whose root view this is (not owned), or null.
    void setViewController(ViewController* controller) { viewController_ = controller; }

    // Scene properties: sets `key` from text; false with a message for unknown keys or bad values.
    virtual bool setProperty(const std::string& key, const std::string& value, std::string& error);
    // The size-class dependent parts of the scene whose root this view is (owned); applied
    // whenever the view's traits change.
    void setSceneLayout(std::unique_ptr<SceneLayout> layout);
    SceneLayout* sceneLayout() const { return sceneLayout_.get(); }

    std::weak_ptr<void> alive() const { return lifetime_.weak(); }
    const foundation::Lifetime& lifetime() const { return lifetime_; }

protected:
    virtual void boundsSizeDidChange() { setNeedsLayout(); }
    // The base layout within `area` (in bounds coordinates): relative frames are fractions of
    // it, then the constraints.
    void layoutSubviewsIn(const Rect& area);
    // For a layout that adds and removes subviews of its own: adding and removing them asked for
    // another layout of this view, which would only do the same again.
    void layoutIsDone() { needsLayout_ = false; }

private:
    friend class LayoutConstraint;
    void animateChange(const std::string& keyPath, const AnimationValue& from);
    void notifyMovedToWindow();
    LayoutAnchor anchor(LayoutAttribute attribute) { return LayoutAnchor{this, false, attribute}; }
    void installConstraint(std::shared_ptr<LayoutConstraint> constraint);
    void uninstallConstraint(const LayoutConstraint* constraint);

    foundation::Lifetime lifetime_;
    std::shared_ptr<Layer> layer_;
    std::vector<std::unique_ptr<View>> subviews_;
    View* superview_ = nullptr;
    std::vector<std::unique_ptr<GestureRecognizer>> recognizers_;
    ViewController* viewController_ = nullptr;
    bool userInteractionEnabled_ = true;
    bool needsLayout_ = true;
    bool needsDisplay_ = true;
    bool needsUpdateConstraints_ = true;
    std::vector<std::shared_ptr<LayoutConstraint>> constraints_;
    mutable std::unique_ptr<LayoutGuide> safeAreaGuide_;
    // The traits last reported to traitCollectionDidChange.
    std::optional<TraitCollection> reportedTraits_;
    std::unique_ptr<SceneLayout> sceneLayout_;
};

}  // namespace uikit
