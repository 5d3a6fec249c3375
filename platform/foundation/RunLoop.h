#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace foundation {

// The main thread's run loop. Time is in seconds, either real (a steady clock) or virtual
// (advanced only by advance(), for tests and the headless host). Work is run in order of its
// due time, then of scheduling. Work scheduled with a guard is dropped when the guard's owner
// is gone; work scheduled with a target can be cancelled by target.
class RunLoop {
public:
    using Work = std::function<void()>;
    using Identifier = std::uint64_t;

    static RunLoop& main();

    // Virtual time starting at `start`; drops all pending work.
    void useVirtualTime(double start = 0.0);
    // Real time; drops all pending work.
    void useRealTime();
    double now() const;

    // Schedules work after `delay` seconds (0 or less: at the next turn).
    Identifier schedule(double delay, Work work, const void* target = nullptr,
                        std::weak_ptr<void> guard = {}, bool guarded = false);
    // Delayed perform of the platform: run `work` on `target` after `delay` unless cancelled or
    // the target's lifetime ended.
    Identifier perform(const void* target, const std::weak_ptr<void>& lifetime, double delay, Work work);
    void cancel(Identifier identifier);
    // Cancels every pending request whose target is `target`.
    void cancelPerformRequests(const void* target);
    // Thread-safe: queues work for the main thread at its next turn, then calls the wake-up
    // handler (on the posting thread).
    void post(Work work);
    // A host that waits outside the run loop (on a window system's events) installs a handler
    // that wakes it; an empty handler removes it, and no call of the old one is then under way.
    void setWakeUpHandler(std::function<void()> handler);

    // The run-loop time of the earliest pending timer or delayed perform (now when work was
    // posted), or none when nothing is pending. Work whose target is gone does not count.
    std::optional<double> nextDueTime() const;
    // Blocks until work is posted from another thread or `seconds` of wall time passed (no
    // limit when none); true when posted work is waiting. Runs nothing.
    bool waitForPosted(std::optional<double> seconds) const;

    // Runs everything that is due now (including work posted from other threads) without
    // waiting; returns how much work ran.
    std::size_t runUntilIdle();
    // Virtual: moves time forward by `seconds`, running each piece of work at its due time.
    // Real: runs for `seconds` of wall time.
    void advance(double seconds);
    // Runs due work (virtual time stands still; real time passes) until `done` holds or
    // `realTimeout` seconds of wall time passed. Returns done().
    bool runUntil(const std::function<bool()>& done, double realTimeout = 5.0);

private:
    struct Item {
        double due;
        Identifier id;
        Work work;
        const void* target;
        std::weak_ptr<void> guard;
        bool guarded;
    };
    enum class Turn { none, dropped, ran };
    RunLoop();
    void drainInbox();
    Turn runOneDue(double limit);
    void clear();
    void removeIf(const std::function<bool(const Item&)>& predicate);

    mutable std::mutex inboxMutex_;
    mutable std::condition_variable inboxSignal_;
    std::vector<Work> inbox_;
    std::mutex wakeUpMutex_;
    std::function<void()> wakeUp_;
    std::vector<Item> items_;
    Identifier nextId_ = 1;
    bool virtual_ = false;
    double virtualNow_ = 0.0;
    double realOrigin_ = 0.0;
};

}  // namespace foundation
