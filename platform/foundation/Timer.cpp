#include "platform/foundation/Timer.h"

#include <algorithm>

namespace foundation {

Timer::Timer(double interval, bool repeats, Block block, std::weak_ptr<void> lifetime, bool guarded)
    : interval_(repeats ? std::max(interval, 0.0001) : std::max(interval, 0.0)),
      repeats_(repeats),
      block_(std::move(block)),
      lifetime_(std::move(lifetime)),
      guarded_(guarded) {}

// A pending schedule holds the timer, so a timer being destroyed has nothing scheduled.
Timer::~Timer() = default;

std::shared_ptr<Timer> Timer::scheduledTimer(double interval, bool repeats, Block block,
                                             std::weak_ptr<void> lifetime) {
    auto timer = timerWithTimeInterval(interval, repeats, std::move(block), std::move(lifetime));
    timer->addToRunLoop();
    return timer;
}

std::shared_ptr<Timer> Timer::timerWithTimeInterval(double interval, bool repeats, Block block,
                                                    std::weak_ptr<void> lifetime) {
    // A default-constructed guard shares no owner: the timer is unguarded.
    bool guarded = lifetime.owner_before(std::weak_ptr<void>{}) || std::weak_ptr<void>{}.owner_before(lifetime);
    return std::make_shared<Timer>(interval, repeats, std::move(block), std::move(lifetime), guarded);
}

void Timer::addToRunLoop() {
    if (scheduled_ || !valid_) return;
    scheduled_ = true;
    arm();
}

void Timer::setTolerance(double tolerance) { tolerance_ = tolerance > 0 ? tolerance : 0; }

void Timer::arm() {
    // The scheduled work holds the timer, so a scheduled timer lives until it fires or is invalidated.
    std::shared_ptr<Timer> self = shared_from_this();
    pending_ = RunLoop::main().schedule(interval_, [self] {
        self->pending_ = 0;
        if (!self->valid_) return;
        if (self->guarded_ && self->lifetime_.expired()) {
            self->valid_ = false;
            return;
        }
        if (self->repeats_) self->arm();
        else self->valid_ = false;
        if (self->block_) {
            Block block = self->block_;
            block(*self);
        }
        if (!self->valid_) self->block_ = nullptr;
    });
}

void Timer::invalidate() {
    valid_ = false;
    block_ = nullptr;
    RunLoop::Identifier pending = pending_;
    pending_ = 0;
    // May release the last reference to this timer: nothing touches members afterwards.
    if (pending != 0) RunLoop::main().cancel(pending);
}

void Timer::fire() {
    if (!valid_ || (guarded_ && lifetime_.expired())) return;
    Block block = block_;
    if (block) block(*this);
    if (!repeats_) invalidate();
}

}  // namespace foundation
