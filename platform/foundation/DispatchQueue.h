#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace foundation {

// The main queue (work on the main run loop) and the global queue (a small pool of worker
// threads). Work on the global queue hops back with DispatchQueue::main().async(...).
class DispatchQueue {
public:
    using Work = std::function<void()>;

    static DispatchQueue& main();
    // Every quality of service shares the one pool.
    static DispatchQueue& global();

    // Main queue: at the next turn of the main run loop, callable from any thread.
    // Global queue: on a worker thread.
    void async(Work work);
    // Main queue only: after `delay` seconds of run-loop time; dropped once `lifetime` expired
    // when one is given.
    void asyncAfter(double delay, Work work, std::weak_ptr<void> lifetime = {});
    bool isMain() const { return isMain_; }
    // Global queue: waits until every queued piece of work has finished (for tests and shutdown).
    void waitUntilIdle();

    ~DispatchQueue();
    DispatchQueue(const DispatchQueue&) = delete;
    DispatchQueue& operator=(const DispatchQueue&) = delete;

private:
    explicit DispatchQueue(bool isMain, unsigned workers);
    void workerLoop();

    bool isMain_;
    std::mutex mutex_;
    std::condition_variable signal_;
    std::condition_variable idle_;
    std::deque<Work> queue_;
    unsigned busy_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace foundation
