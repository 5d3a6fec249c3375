#include "platform/foundation/RunLoop.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>

namespace foundation {

namespace {
double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
}  // namespace

RunLoop::RunLoop() : realOrigin_(steadySeconds()) {}

RunLoop& RunLoop::main() {
    static RunLoop loop;
    return loop;
}

// Removed work is destroyed only after the list is consistent again, since destroying it may
// release objects that call back into the run loop.
void RunLoop::clear() {
    std::vector<Item> removed;
    removed.swap(items_);
    std::vector<Work> posted;
    {
        std::lock_guard lock(inboxMutex_);
        posted.swap(inbox_);
    }
}

void RunLoop::useVirtualTime(double start) {
    clear();
    virtual_ = true;
    virtualNow_ = start;
}

void RunLoop::useRealTime() {
    clear();
    virtual_ = false;
    realOrigin_ = steadySeconds();
}

double RunLoop::now() const { return virtual_ ? virtualNow_ : steadySeconds() - realOrigin_; }

RunLoop::Identifier RunLoop::schedule(double delay, Work work, const void* target, std::weak_ptr<void> guard,
                                      bool guarded) {
    Identifier id = nextId_++;
    items_.push_back(Item{now() + std::max(delay, 0.0), id, std::move(work), target, std::move(guard), guarded});
    return id;
}

RunLoop::Identifier RunLoop::perform(const void* target, const std::weak_ptr<void>& lifetime, double delay,
                                     Work work) {
    return schedule(delay, std::move(work), target, lifetime, true);
}

void RunLoop::removeIf(const std::function<bool(const Item&)>& predicate) {
    std::vector<Item> removed;
    auto split = std::stable_partition(items_.begin(), items_.end(), [&](const Item& item) { return !predicate(item); });
    std::move(split, items_.end(), std::back_inserter(removed));
    items_.erase(split, items_.end());
}

void RunLoop::cancel(Identifier identifier) {
    removeIf([&](const Item& item) { return item.id == identifier; });
}

void RunLoop::cancelPerformRequests(const void* target) {
    if (target == nullptr) return;
    removeIf([&](const Item& item) { return item.target == target; });
}

void RunLoop::post(Work work) {
    {
        std::lock_guard lock(inboxMutex_);
        inbox_.push_back(std::move(work));
    }
    inboxSignal_.notify_all();
    std::lock_guard lock(wakeUpMutex_);
    if (wakeUp_) wakeUp_();
}

// Once this returns, no call of the previous handler is under way.
void RunLoop::setWakeUpHandler(std::function<void()> handler) {
    std::lock_guard lock(wakeUpMutex_);
    wakeUp_ = std::move(handler);
}

std::optional<double> RunLoop::nextDueTime() const {
    {
        std::lock_guard lock(inboxMutex_);
        if (!inbox_.empty()) return now();
    }
    std::optional<double> next;
    for (const auto& item : items_) {
        if (item.guarded && item.guard.expired()) continue;
        if (!next || item.due < *next) next = item.due;
    }
    return next;
}

bool RunLoop::waitForPosted(std::optional<double> seconds) const {
    std::unique_lock lock(inboxMutex_);
    auto posted = [&] { return !inbox_.empty(); };
    if (!seconds) {
        inboxSignal_.wait(lock, posted);
        return true;
    }
    return inboxSignal_.wait_for(lock, std::chrono::duration<double>(std::max(*seconds, 0.0)), posted);
}

void RunLoop::drainInbox() {
    std::vector<Work> posted;
    {
        std::lock_guard lock(inboxMutex_);
        posted.swap(inbox_);
    }
    for (auto& work : posted) schedule(0.0, std::move(work));
}

// Takes the earliest item due at or before `limit` and runs it unless its target is gone.
RunLoop::Turn RunLoop::runOneDue(double limit) {
    drainInbox();
    auto best = items_.end();
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if (it->due > limit) continue;
        if (best == items_.end() || it->due < best->due || (it->due == best->due && it->id < best->id)) best = it;
    }
    if (best == items_.end()) return Turn::none;
    Item item = std::move(*best);
    items_.erase(best);
    if (virtual_ && item.due > virtualNow_) virtualNow_ = item.due;
    if (item.guarded && item.guard.expired()) return Turn::dropped;
    if (item.work) item.work();
    return Turn::ran;
}

std::size_t RunLoop::runUntilIdle() {
    std::size_t ran = 0;
    for (Turn turn; (turn = runOneDue(now())) != Turn::none;)
        if (turn == Turn::ran) ++ran;
    return ran;
}

void RunLoop::advance(double seconds) {
    if (virtual_) {
        double end = virtualNow_ + std::max(seconds, 0.0);
        while (runOneDue(end) != Turn::none) {
        }
        virtualNow_ = end;
        return;
    }
    double end = now() + seconds;
    for (;;) {
        runUntilIdle();
        double remaining = end - now();
        if (remaining <= 0) break;
        double wait = remaining;
        for (const auto& item : items_) wait = std::min(wait, item.due - now());
        std::unique_lock lock(inboxMutex_);
        inboxSignal_.wait_for(lock, std::chrono::duration<double>(std::max(wait, 0.0)),
                              [&] { return !inbox_.empty(); });
    }
    runUntilIdle();
}

bool RunLoop::runUntil(const std::function<bool()>& done, double realTimeout) {
    double deadline = steadySeconds() + realTimeout;
    while (!done()) {
        if (steadySeconds() > deadline) return done();
        if (virtual_) {
            runUntilIdle();
            if (done()) break;
            std::unique_lock lock(inboxMutex_);
            inboxSignal_.wait_for(lock, std::chrono::milliseconds(2), [&] { return !inbox_.empty(); });
        } else {
            advance(0.002);
        }
    }
    return true;
}

}  // namespace foundation
