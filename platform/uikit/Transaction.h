#pragma once

#include <functional>
#include <memory>

namespace uikit {

// Groups the layer animations added between begin and commit; the completion runs on the run
// loop once all of them finished or were removed (at the next turn when there are none).
// Transactions nest: an outer completion also waits for the animations of the groups inside it.
class Transaction {
public:
    struct Group;

    static void begin();
    static void commit();
    static void setCompletionBlock(std::function<void()> completion);
    // The innermost open group (null when none is open).
    static std::shared_ptr<Group> current();
    static void animationStarted(const std::shared_ptr<Group>& group);
    static void animationEnded(const std::shared_ptr<Group>& group);
};

}  // namespace uikit
