#pragma once

#include <memory>
#include <utility>

namespace foundation {

// A link to an object that the holder does not own: a delegate, a data source, the target of
// an action. The rule for every such link in the toolkit:
//
// - It is set with the object and a guard, the weak token of a `Lifetime` that ends no later
//   than the object: a screen passes the `weak()` of the `Lifetime` it declares as its last
//   member, a view or controller its own `alive()`, a test the token of a local `Lifetime`.
// - It reads as empty once the guard has expired, so it never leads to a destroyed object.
// - A link set without a guard (an empty token) reads as empty from the start: there is no
//   unguarded link. Null clears it.
// - A call made through the link may end the object, or the holder: after a call that reports
//   something the user did, the holder checks its own guard before going on and reads the link
//   again rather than keeping the pointer.
//
// Actions registered with `addTarget(…, guard)` follow the same rule: an action runs only
// while its guard lives.
template <class T>
class WeakLink {
public:
    WeakLink() = default;
    WeakLink(T* object, std::weak_ptr<void> guard)
        : object_(object), guard_(object != nullptr ? std::move(guard) : std::weak_ptr<void>{}) {}

    // The object, or null when none was set or its guard has expired.
    T* get() const { return guard_.expired() ? nullptr : object_; }
    explicit operator bool() const { return get() != nullptr; }

private:
    T* object_ = nullptr;
    std::weak_ptr<void> guard_;
};

}  // namespace foundation
