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
    ~Timer();

    void invalidate();
    bool isValid() const { return valid_; }
    double timeInterval() const { return interval_; }
    bool repeats() const { return repeats_; }
    // Fires now (out of schedule) without changing the schedule of a repeating timer.
    void fire();

    Timer(double interval, bool repeats, Block block, std::weak_ptr<void> lifetime, bool guarded);

private:
    void arm();

    double interval_;
    bool repeats_;
    Block block_;
    std::weak_ptr<void> lifetime_;
    bool guarded_;
    bool valid_ = true;
    RunLoop::Identifier pending_ = 0;
};

}  // namespace foundation
