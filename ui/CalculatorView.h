#pragma once

#include "platform/foundation/WeakLink.h"
#include "platform/uikit/View.h"
#include "ui/CalculatorViewTouchDelegate.h"

#include <memory>
#include <string>

namespace ostrelo {

class CalculatorButton;

// A keypad: a container of CalculatorButton keys that tracks the finger itself. It shows the key
// under the finger pressed, lets the finger slide from key to key, turns a key held for
// `treshholdLongTouch` seconds into a long press and reports each finished press to its
// delegate. Only the "🌐" and "⌫" keys keep their own touches.
class CalculatorView : public uikit::View {
public:
    enum class ViewType : int { black = 0, none = 1, memory = 2, keyboard = 3, function = 4, bottom = 5 };

    CalculatorView();
    explicit CalculatorView(const uikit::Rect& frame);
    ~CalculatorView() override;

    // The delegate is not owned: it reads as none once its guard has expired (see WeakLink).
    CalculatorViewTouchDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(CalculatorViewTouchDelegate* delegate, std::weak_ptr<void> guard);

    ViewType myViewType = ViewType::black;
    // The view under the finger when the current touch began (not the container), and the key
    // shown pressed; both read as none once that view is gone.
    uikit::View* startView() const { return startView_.get(); }
    uikit::View* currentButtonView() const { return currentButtonView_.get(); }
    double treshholdLongTouch = 0.75;
    bool longTouch = false;
    bool touched = false;

    // Raw value of myViewType; 0 to 5 select that case, anything else `black`.
    int type() const;
    void setType(int rawValue);

    virtual void applyViewTypeBackground();
    virtual void handleKeyLongPress(CalculatorButton* key);
    // The delayed perform's entry: the long press of `key`.
    void longPress(CalculatorButton* key);

    void layoutSubviews() override;
    uikit::View* hitTest(uikit::Point point, const uikit::Event* event) override;
    void touchesBegan(const uikit::TouchSet& touches, const uikit::Event* event) override;
    void touchesMoved(const uikit::TouchSet& touches, const uikit::Event* event) override;
    void touchesEnded(const uikit::TouchSet& touches, const uikit::Event* event) override;
    void touchesCancelled(const uikit::TouchSet& touches, const uikit::Event* event) override;
    bool setProperty(const std::string& key, const std::string& value, std::string& error) override;

    // The animation options of the press and release animations.
    static constexpr unsigned pressAnimationOptions = 0x10202;

private:
    uikit::View* viewUnderFinger(const uikit::Touch& touch);
    void pressKey(CalculatorButton* key);
    void releaseCurrentKey();
    void cancelLongPress();

    void setStartView(uikit::View* view);
    void setCurrentButtonView(uikit::View* view);

    foundation::WeakLink<CalculatorViewTouchDelegate> delegate_;
    foundation::WeakLink<uikit::View> startView_;
    foundation::WeakLink<uikit::View> currentButtonView_;
};

}  // namespace ostrelo
