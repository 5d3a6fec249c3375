#pragma once

#include "platform/uikit/Point.h"

#include <memory>
#include <vector>

namespace uikit {

class View;
class Window;

enum class TouchPhase { began = 0, moved = 1, stationary = 2, ended = 3, cancelled = 4 };

// One finger on the screen. Locations are kept in window coordinates. The view is the one hit
// at touch-down; it reads as null once that view is gone.
class Touch {
public:
    TouchPhase phase = TouchPhase::began;
    double timestamp = 0;
    double force = 0;
    double maximumPossibleForce = 0;
    int tapCount = 1;

    View* view() const { return viewAlive_.expired() ? nullptr : view_; }
    Window* window() const { return window_; }
    Point locationInView(const View* view) const;
    Point locationInWindow() const { return location_; }

    void setView(View* view, std::weak_ptr<void> alive) { view_ = view; viewAlive_ = std::move(alive); }
    void setWindow(Window* window) { window_ = window; }
    void moveTo(Point windowLocation) { location_ = windowLocation; }
    void startAt(Point windowLocation) { location_ = windowLocation; }

private:
    View* view_ = nullptr;
    std::weak_ptr<void> viewAlive_;
    Window* window_ = nullptr;
    Point location_;
};

// The touches of one delivery (a single touch here: one touch at a time).
using TouchSet = std::vector<Touch*>;

}  // namespace uikit
