#pragma once

#include <functional>
#include <memory>

namespace uikit {

// Groups the layer animations added between begin and commit; the completion runs on the run
// loop once all of them finished or were removed (at the next turn when there are none).
// Transactions nest: an outer completion also waits for the animations of the groups inside it.
// A group whose animations did not all run to their end (one was removed or replaced by a later
// animation of the same key) reports finished = false to a completion that asks for it.
class Transaction {
public:
    struct Group;

    static void begin();
    static void commit();
    static void setCompletionBlock(std::function<void()> completion);
    static void setCompletionBlock(std::function<void(bool finished)> completion);
    // The innermost open group (null when none is open).
    static std::shared_ptr<Group> current();
    static void animationStarted(const std::shared_ptr<Group>& group);
    static void animationEnded(const std::shared_ptr<Group>& group, bool finished = true);
};

}  // namespace uikit
