#include "ui/CalculatorView.h"

#include "platform/foundation/RunLoop.h"
#include "ui/CalculatorButton.h"
#include "ui/ColorProperty.h"
#include "ui/Theme.h"

namespace ostrelo {

namespace {

CalculatorButton* asButton(uikit::View* view) { return dynamic_cast<CalculatorButton*>(view); }

}  // namespace

CalculatorView::CalculatorView() = default;

CalculatorView::CalculatorView(const uikit::Rect& frame) : uikit::View(frame) {}

CalculatorView::~CalculatorView() { cancelLongPress(); }

void CalculatorView::setDelegate(CalculatorViewTouchDelegate* delegate, std::weak_ptr<void> guard) {
    delegate_ = {delegate, std::move(guard)};
}

void CalculatorView::setStartView(uikit::View* view) {
    startView_ = {view, view != nullptr ? view->alive() : std::weak_ptr<void>()};
}

void CalculatorView::setCurrentButtonView(uikit::View* view) {
    currentButtonView_ = {view, view != nullptr ? view->alive() : std::weak_ptr<void>()};
}

int CalculatorView::type() const { return static_cast<int>(myViewType); }

void CalculatorView::setType(int rawValue) {
    myViewType = ColorProperty::caseFromRawValue(rawValue, ViewType::bottom).value_or(ViewType::black);
}

bool CalculatorView::setProperty(const std::string& key, const std::string& value, std::string& error) {
    static const std::vector<std::string> cases = {"black", "none", "memory", "keyboard", "function", "bottom"};
    return ColorProperty::setCase("type", "myViewType", cases, key, value, error, [this](int raw) { setType(raw); },
                                  [&] { return uikit::View::setProperty(key, value, error); });
}

void CalculatorView::layoutSubviews() {
    uikit::View::layoutSubviews();
    applyViewTypeBackground();
}

void CalculatorView::applyViewTypeBackground() {
    switch (myViewType) {
    case ViewType::black: setBackgroundColor(borderColor()); break;
    case ViewType::none: setBackgroundColor(uikit::Color::clear()); break;
    case ViewType::memory: setBackgroundColor(digitBackgroundColor()); break;
    case ViewType::keyboard: setBackgroundColor(standardBackgroundColor()); break;
    case ViewType::function: setBackgroundColor(functionBackgroundColor()); break;
    case ViewType::bottom: setBackgroundColor(standardBackgroundColor()); break;
    }
}

uikit::View* CalculatorView::hitTest(uikit::Point point, const uikit::Event* event) {
    uikit::View* hit = uikit::View::hitTest(point, event);
    if (hit == nullptr) return nullptr;
    CalculatorButton* button = asButton(hit);
    if (hit != this && button == nullptr) return hit;
    if (button != nullptr) {
        const std::string title = button->normalTitle();
        if (title == "🌐" || title == "⌫") return hit;
    }
    return pointInside(point, event) ? this : nullptr;
}

uikit::View* CalculatorView::viewUnderFinger(const uikit::Touch& touch) {
    return uikit::View::hitTest(touch.locationInView(this), nullptr);
}

void CalculatorView::cancelLongPress() { foundation::RunLoop::main().cancelPerformRequests(this); }

void CalculatorView::pressKey(CalculatorButton* key) {
    key->setHighlighted(true);
    setCurrentButtonView(key);
    const double w = key->frame().width();
    const double h = key->frame().height();
    uikit::View::animate(0.2, 0, pressAnimationOptions, [key, w, h] {
        // A key without width or height cannot shrink; it stays as it is.
        const double sx = w > 0 ? (w - 10) / w : 1;
        const double sy = h > 0 ? (h - 10) / h : 1;
        key->setTransform(uikit::AffineTransform::scale(sx, sy));
    });
    longTouch = false;
    touched = false;
    std::weak_ptr<void> keyAlive = key->alive();
    foundation::RunLoop::main().perform(this, alive(), treshholdLongTouch, [this, key, keyAlive] {
        if (!keyAlive.expired()) longPress(key);
    });
}

void CalculatorView::releaseCurrentKey() {
    uikit::View* current = currentButtonView();
    if (current == nullptr) return;
    if (CalculatorButton* button = asButton(current)) button->setHighlighted(false);
    uikit::View::animate(0.2, 0, pressAnimationOptions, [this] {
        if (uikit::View* key = currentButtonView()) key->setTransform(uikit::AffineTransform::identity());
    });
}

void CalculatorView::touchesBegan(const uikit::TouchSet& touches, const uikit::Event* event) {
    // A long press still pending from an earlier touch must not fire for a key the finger left.
    cancelLongPress();
    setCurrentButtonView(nullptr);
    setStartView(nullptr);
    if (touches.empty() || touches.front() == nullptr) return;
    uikit::View* under = viewUnderFinger(*touches.front());
    if (under == nullptr || under == this) return;
    setStartView(under);
    if (CalculatorButton* button = asButton(under)) {
        pressKey(button);
    } else {
        uikit::View::touchesBegan(touches, event);
    }
}

void CalculatorView::touchesMoved(const uikit::TouchSet& touches, const uikit::Event* event) {
    if (touches.empty() || touches.front() == nullptr) return;
    uikit::View* under = viewUnderFinger(*touches.front());
    if (under == this) {
        longTouch = false;
        touched = false;
        releaseCurrentKey();
        setCurrentButtonView(nullptr);
        cancelLongPress();
        return;
    }
    if ((under != nullptr && under == currentButtonView()) || (under == nullptr && currentButtonView() == nullptr)) {
        uikit::View::touchesMoved(touches, event);
        return;
    }
    cancelLongPress();
    releaseCurrentKey();
    CalculatorButton* button = asButton(under);
    if (button != nullptr && asButton(startView()) != nullptr && !longTouch) {
        pressKey(button);
        return;
    }
    uikit::View::touchesMoved(touches, event);
}

void CalculatorView::touchesEnded(const uikit::TouchSet& touches, const uikit::Event* event) {
    cancelLongPress();
    if (!touches.empty() && touches.front() != nullptr) {
        uikit::View* under = viewUnderFinger(*touches.front());
        releaseCurrentKey();
        CalculatorButton* button = asButton(under);
        if (button != nullptr && asButton(startView()) != nullptr) {
            if (touched) {
                touched = false;
            } else if (button->normalTitle() == "🌐") {
                uikit::View::touchesEnded(touches, event);
            } else if (CalculatorViewTouchDelegate* target = delegate()) {
                // The delegate may remove this keypad while it handles the key.
                const std::weak_ptr<void> self = alive();
                target->handleKeyPress(button, false, "");
                if (self.expired()) return;
            }
        } else {
            uikit::View::touchesEnded(touches, event);
        }
    }
    setStartView(nullptr);
    setCurrentButtonView(nullptr);
}

void CalculatorView::touchesCancelled(const uikit::TouchSet& touches, const uikit::Event* event) {
    cancelLongPress();
    releaseCurrentKey();
    if (!touches.empty() && touches.front() != nullptr) {
        uikit::View* under = viewUnderFinger(*touches.front());
        if (under != nullptr && under != this && asButton(under) == nullptr) {
            uikit::View::touchesCancelled(touches, event);
        }
    }
    setCurrentButtonView(nullptr);
    setStartView(nullptr);
}

void CalculatorView::longPress(CalculatorButton* key) { handleKeyLongPress(key); }

void CalculatorView::handleKeyLongPress(CalculatorButton* key) {
    if (CalculatorViewTouchDelegate* target = delegate()) {
        const std::weak_ptr<void> self = alive();
        target->handleKeyPress(key, true, "");
        if (self.expired()) return;
    }
    releaseCurrentKey();
    longTouch = false;
    touched = true;
}

}  // namespace ostrelo
