#include "platform/uikit/Transaction.h"

#include "platform/foundation/RunLoop.h"

#include <vector>

namespace uikit {

struct Transaction::Group {
    int pending = 0;
    bool committed = false;
    bool completed = false;
    bool finished = true;
    std::function<void(bool)> completion;
    // The group that was open when this one began: it waits for this group's animations too.
    std::shared_ptr<Group> parent;
};

namespace {
std::vector<std::shared_ptr<Transaction::Group>>& stack() {
    static std::vector<std::shared_ptr<Transaction::Group>> groups;
    return groups;
}

void completeIfDone(const std::shared_ptr<Transaction::Group>& group) {
    if (!group->committed || group->pending > 0 || group->completed) return;
    group->completed = true;
    auto completion = std::move(group->completion);
    if (completion) foundation::RunLoop::main().schedule(0, [completion, finished = group->finished] { completion(finished); });
}
}  // namespace

void Transaction::begin() {
    auto group = std::make_shared<Group>();
    if (!stack().empty()) group->parent = stack().back();
    stack().push_back(std::move(group));
}

void Transaction::commit() {
    if (stack().empty()) return;
    auto group = stack().back();
    stack().pop_back();
    group->committed = true;
    completeIfDone(group);
}

void Transaction::setCompletionBlock(std::function<void()> completion) {
    if (!completion) return setCompletionBlock(std::function<void(bool)>{});
    setCompletionBlock(std::function<void(bool)>([completion = std::move(completion)](bool) { completion(); }));
}

void Transaction::setCompletionBlock(std::function<void(bool finished)> completion) {
    if (!stack().empty()) stack().back()->completion = std::move(completion);
}

std::shared_ptr<Transaction::Group> Transaction::current() { return stack().empty() ? nullptr : stack().back(); }

void Transaction::animationStarted(const std::shared_ptr<Group>& group) {
    for (Group* g = group.get(); g != nullptr; g = g->parent.get()) ++g->pending;
}

// Inner groups complete before the groups around them.
void Transaction::animationEnded(const std::shared_ptr<Group>& group, bool finished) {
    for (auto g = group; g; g = g->parent) {
        if (!finished) g->finished = false;
        --g->pending;
        completeIfDone(g);
    }
}

}  // namespace uikit
