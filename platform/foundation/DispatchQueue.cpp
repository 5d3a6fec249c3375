#include "platform/foundation/DispatchQueue.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

#include <exception>

namespace foundation {

DispatchQueue::DispatchQueue(bool isMain, unsigned workers) : isMain_(isMain) {
    for (unsigned i = 0; i < workers; ++i) workers_.emplace_back([this] { workerLoop(); });
}

DispatchQueue::~DispatchQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    signal_.notify_all();
    for (auto& worker : workers_) worker.join();
}

DispatchQueue& DispatchQueue::main() {
    static DispatchQueue queue(true, 0);
    return queue;
}

DispatchQueue& DispatchQueue::global() {
    static DispatchQueue queue(false, 2);
    return queue;
}

void DispatchQueue::async(Work work) {
    if (isMain_) {
        RunLoop::main().post(std::move(work));
        return;
    }
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
    }
    signal_.notify_one();
}

void DispatchQueue::asyncAfter(double delay, Work work, std::weak_ptr<void> lifetime) {
    if (!isMain_) {
        Log::warning("asyncAfter is only offered on the main queue");
        return;
    }
    bool guarded = lifetime.owner_before(std::weak_ptr<void>{}) || std::weak_ptr<void>{}.owner_before(lifetime);
    RunLoop::main().schedule(delay, std::move(work), nullptr, std::move(lifetime), guarded);
}

void DispatchQueue::waitUntilIdle() {
    if (isMain_) return;
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [&] { return queue_.empty() && busy_ == 0; });
}

void DispatchQueue::workerLoop() {
    for (;;) {
        Work work;
        {
            std::unique_lock lock(mutex_);
            signal_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            work = std::move(queue_.front());
            queue_.pop_front();
            ++busy_;
        }
        try {
            work();
        } catch (const std::exception& error) {
            Log::error(std::string("work on the global queue failed: ") + error.what());
        } catch (...) {
            Log::error("work on the global queue failed");
        }
        {
            std::lock_guard lock(mutex_);
            --busy_;
        }
        idle_.notify_all();
    }
}

}  // namespace foundation
