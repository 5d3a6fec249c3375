#pragma once

#include "platform/uikit/Point.h"
#include "platform/uikit/Rect.h"

#include <map>
#include <string>
#include <vector>

namespace uikit {
class Button;
class View;
class ViewController;
class Window;
}  // namespace uikit

namespace script {

// Finds what a user sees in a window: keys by the title they show, views by the outlet names of
// the controllers on screen, and whether a view can be seen at all. It reads only; it never
// calls into a screen.
class ViewFinder {
public:
    explicit ViewFinder(uikit::Window& window) : window_(window) {}

    // The view an outlet of a controller on screen holds (root, its children, the presented ones).
    uikit::View* outlet(const std::string& name) const;
    // Every key (shown or not) whose normal-state title reads `caption`, in tree order.
    std::vector<uikit::Button*> keysReading(const std::string& caption) const;
    // The shown key a script names: "@name" by outlet, else the one shown key whose title reads
    // it. Null with `error` set when there is none, it is not shown, or more than one reads it.
    uikit::Button* key(const std::string& name, std::string& error) const;

    // Neither it nor any of its superviews is hidden or fully transparent, it is in the window,
    // and its clipping superviews and the window leave some of it visible (a view without
    // size counts as shown where it sits).
    bool shown(const uikit::View& view) const;
    // The part of the view that its clipping superviews and the window leave visible, in window
    // points, and its centre.
    uikit::Rect visibleRect(const uikit::View& view) const;
    uikit::Point touchPoint(const uikit::View& view) const;

    // What a person sees: the named display lines, every other shown label, every shown key
    // (with its outlet name when it has one), one line each.
    std::vector<std::string> describe(const std::map<std::string, std::string>& lines) const;

private:
    std::vector<uikit::ViewController*> controllers() const;
    std::map<const uikit::View*, std::string> outletNames() const;

    uikit::Window& window_;
};

}  // namespace script
