#pragma once

#include "platform/foundation/RunLoop.h"

#include <functional>
#include <memory>

namespace foundation {

// A one-shot or repeating timer on the main run loop. The run loop keeps a scheduled timer
// alive until it is invalidated (a one-shot timer invalidates itself after firing). A timer
// made with a lifetime guard stops when the guard's owner is gone.
class Timer : public std::enable_shared_from_this<Timer> {
public:
    using Block = std::function<void(Timer&)>;

    static std::shared_ptr<Timer> scheduledTimer(double interval, bool repeats, Block block,
                                                 std::weak_ptr<void> lifetime = {});
    // A timer not yet scheduled: it starts counting when added to the run loop (addToRunLoop).
    static std::shared_ptr<Timer> timerWithTimeInterval(double interval, bool repeats, Block block,
                                                        std::weak_ptr<void> lifetime = {});
    // Schedules an unscheduled timer on the main run loop; a timer already scheduled or
    // invalidated is left as it is.
    void addToRunLoop();
    ~Timer();

    void invalidate();
    bool isValid() const { return valid_; }
    bool repeats() const { return repeats_; }
    // Fires now (out of schedule) without changing the schedule of a repeating timer.
    void fire();
    // How late the timer may fire, in seconds (never negative). Kept for the run loop to use;
    // the run loop here fires on time.
    double tolerance() const { return tolerance_; }
    void setTolerance(double tolerance);

    Timer(double interval, bool repeats, Block block, std::weak_ptr<void> lifetime, bool guarded);

private:
    void arm();

    double interval_;
    bool repeats_;
    Block block_;
    std::weak_ptr<void> lifetime_;
    bool guarded_;
    bool valid_ = true;
    bool scheduled_ = false;
    double tolerance_ = 0;
    RunLoop::Identifier pending_ = 0;
};

}  // namespace foundation
