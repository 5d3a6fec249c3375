#pragma once

#include "platform/uikit/Color.h"
#include "platform/uikit/Rect.h"
#include "platform/uikit/Size.h"
#include "platform/uikit/ViewController.h"

#include <memory>
#include <string>

namespace uikit {
class PopoverPresentationControllerDelegate;
class View;
}  // namespace uikit

namespace ostrelo {

// A screen's popover made from a scene of a storyboard: in the popover style, of its size, its
// arrow pointing at a rectangle of a source view, on its background, with the screen as its
// presentation's delegate while the screen lives.
class PopoverScene {
public:
    struct Placement {
        std::string storyboard;
        std::string identifier;
        uikit::Size size;
        uikit::View* source = nullptr;
        // In the source view's coordinates.
        uikit::Rect anchor;
        uikit::Color background;
        unsigned arrow = 0;
    };

    // The scene's controller as a T, placed; none (logged) when the storyboard or the scene is
    // missing or the scene's controller is of another class.
    template <class T>
    static std::unique_ptr<T> make(const Placement& placement, uikit::PopoverPresentationControllerDelegate& delegate,
                                   std::weak_ptr<void> guard) {
        std::unique_ptr<uikit::ViewController> made = instantiate(placement);
        if (made == nullptr) return nullptr;
        if (dynamic_cast<T*>(made.get()) == nullptr) {
            logOfAnotherClass(placement);
            return nullptr;
        }
        place(*made, placement, delegate, std::move(guard));
        return std::unique_ptr<T>(static_cast<T*>(made.release()));
    }

private:
    static std::unique_ptr<uikit::ViewController> instantiate(const Placement& placement);
    static void logOfAnotherClass(const Placement& placement);
    static void place(uikit::ViewController& popover, const Placement& placement,
                      uikit::PopoverPresentationControllerDelegate& delegate, std::weak_ptr<void> guard);
};

}  // namespace ostrelo
