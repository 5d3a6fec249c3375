#include "platform/foundation/UrlSession.h"

#include "platform/foundation/FileDescriptor.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/TransferProcess.h"
#include "platform/foundation/TransferReply.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>

namespace foundation {

namespace {

// Why a helper could not be started, logged once per reason in this process: a helper that is
// missing stays missing, and every rate check would say so again.
void logStartFailure(const std::string& reason) {
    static std::mutex mutex;
    static std::set<std::string> told;
    std::lock_guard lock(mutex);
    if (told.insert(reason).second) Log::error("URL session: " + reason);
}

// The transfers' start while held (see UrlSession::holdTransfers).
struct TransferHold {
    std::mutex mutex;
    std::condition_variable released;
    bool held = false;

    static TransferHold& shared() {
        static TransferHold hold;
        return hold;
    }
    // Waits until the hold ends or `stopping` is set (then notify() is called).
    void wait(const std::atomic<bool>& stopping) {
        std::unique_lock lock(mutex);
        released.wait(lock, [&] { return !held || stopping; });
    }
    void notify() {
        std::lock_guard lock(mutex);
        released.notify_all();
    }
};

struct Task {
    std::string url;
    UrlSession::Configuration configuration;
    UrlSession::Completion completion;
    std::optional<UrlError> earlyError;  // a request refused before any transfer
    TransferProcess process;
};

UrlError shutDown() { return UrlError{UrlError::Code::cancelled, "the session is shutting down"}; }

// Empties the eventfd that wakes the session's thread.
void drain(int wake) {
    std::uint64_t count = 0;
    while (::read(wake, &count, sizeof count) > 0) {
    }
}

}  // namespace

class UrlSession::Impl {
public:
    explicit Impl(Configuration configuration)
        : configuration_(configuration), wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        thread_ = std::thread([this] { run(); });
    }

    ~Impl() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        ending_ = true;
        TransferHold::shared().notify();
        wake();
        thread_.join();
    }

    void setConfiguration(const Configuration& configuration) {
        std::lock_guard lock(mutex_);
        configuration_ = configuration;
    }

    Configuration configuration() const {
        std::lock_guard lock(mutex_);
        return configuration_;
    }

    void dataTask(const std::string& url, Completion completion) {
        auto task = std::make_unique<Task>();
        task->url = url;
        task->completion = std::move(completion);
        {
            std::lock_guard lock(mutex_);
            task->configuration = configuration_;
            ++outstanding_;
            if (stopping_) task->earlyError = shutDown();
            pending_.push_back(std::move(task));
        }
        wake();
    }

    void waitUntilIdle() {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return outstanding_ == 0; });
    }

private:
    using Active = std::vector<std::unique_ptr<Task>>;

    void wake() {
        if (wake_) {
            const std::uint64_t one = 1;
            [[maybe_unused]] const auto written = ::write(wake_.get(), &one, sizeof one);
        }
        changed_.notify_all();
    }

    // The first transfer waits for the hold; an error when the session ends meanwhile.
    std::optional<UrlError> waitForTheHold() {
        if (heldBack_) return std::nullopt;
        TransferHold::shared().wait(ending_);
        if (ending_) return shutDown();
        heldBack_ = true;
        return std::nullopt;
    }

    // Starts the task's helper; an error when the request cannot start.
    std::optional<UrlError> launch(Task& task) {
        if (task.earlyError) return task.earlyError;
        if (auto held = waitForTheHold()) return held;
        if (!wake_) return UrlError{UrlError::Code::other, "the session has no wake-up descriptor"};
        std::string error;
        if (task.process.start(task.url, task.configuration, error)) return std::nullopt;
        logStartFailure(error);
        return UrlError{UrlError::Code::other, error};
    }

    void complete(std::unique_ptr<Task> task, TransferReply reply) {
        if (reply.response.url.empty()) reply.response.url = task->url;
        // A failure goes to the completion, whose caller knows whether it matters.
        std::optional<std::vector<std::uint8_t>> data;
        if (!reply.error) data = std::move(reply.body);
        try {
            if (task->completion) task->completion(std::move(data), reply.response, std::move(reply.error));
        } catch (const std::exception& exception) {
            Log::error(std::string("URL request completion failed: ") + exception.what());
        } catch (...) {
            Log::error("URL request completion failed");
        }
        task.reset();
        {
            std::lock_guard lock(mutex_);
            --outstanding_;
        }
        idle_.notify_all();
    }

    void fail(std::unique_ptr<Task> task, UrlError error) {
        TransferReply reply;
        reply.error = std::move(error);
        complete(std::move(task), std::move(reply));
    }

    // Waits until a helper answers, a request arrives or the earliest deadline passes.
    void waitForActivity(const Active& active) {
        std::vector<pollfd> descriptors{{wake_.get(), POLLIN, 0}};
        auto deadline = active.front()->process.deadline();
        for (const auto& task : active) {
            descriptors.push_back({task->process.descriptor(), POLLIN, 0});
            deadline = std::min(deadline, task->process.deadline());
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const int timeout = static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, 60'000));
        ::poll(descriptors.data(), descriptors.size(), timeout);
        drain(wake_.get());
    }

    // Completes the tasks whose helper has answered or has run past its deadline.
    void collect(Active& active) {
        const auto now = std::chrono::steady_clock::now();
        for (auto it = active.begin(); it != active.end();) {
            Task& task = **it;
            if (task.process.readAvailable()) {
                TransferReply reply = task.process.finish();
                auto done = std::move(*it);
                it = active.erase(it);
                complete(std::move(done), std::move(reply));
            } else if (now >= task.process.deadline()) {
                task.process.cancel();
                auto done = std::move(*it);
                it = active.erase(it);
                fail(std::move(done), UrlError{UrlError::Code::timedOut, "the download helper did not answer in time"});
            } else {
                ++it;
            }
        }
    }

    void run() {
        Active active;
        for (;;) {
            std::deque<std::unique_ptr<Task>> starting;
            bool stopping = false;
            {
                std::unique_lock lock(mutex_);
                if (active.empty()) changed_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
                starting.swap(pending_);
                stopping = stopping_;
            }
            for (auto& task : starting) {
                std::optional<UrlError> refused = stopping ? std::optional(shutDown()) : launch(*task);
                if (refused) fail(std::move(task), std::move(*refused));
                else active.push_back(std::move(task));
            }
            if (stopping) {
                for (auto& task : active) {
                    task->process.cancel();
                    fail(std::move(task), shutDown());
                }
                active.clear();
                std::lock_guard lock(mutex_);
                if (pending_.empty()) return;
                continue;
            }
            if (active.empty()) continue;
            waitForActivity(active);
            collect(active);
        }
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::condition_variable idle_;
    Configuration configuration_;
    std::deque<std::unique_ptr<Task>> pending_;
    std::size_t outstanding_ = 0;
    bool stopping_ = false;
    // Set by the destructor: also ends a wait for the hold.
    std::atomic<bool> ending_ = false;
    // Whether the first transfer has waited for the hold (the session's thread only).
    bool heldBack_ = false;
    // Wakes the session's thread while it waits for its helpers.
    FileDescriptor wake_;
    std::thread thread_;
};

void UrlSession::holdTransfers() {
    auto& hold = TransferHold::shared();
    std::lock_guard lock(hold.mutex);
    hold.held = true;
}

void UrlSession::releaseTransfers() {
    auto& hold = TransferHold::shared();
    std::lock_guard lock(hold.mutex);
    hold.held = false;
    hold.released.notify_all();
}

UrlSession& UrlSession::shared() {
    static UrlSession session;
    return session;
}

UrlSession::UrlSession() : UrlSession(Configuration()) {}

UrlSession::UrlSession(Configuration configuration) : impl_(std::make_unique<Impl>(configuration)) {}

UrlSession::~UrlSession() = default;

void UrlSession::setConfiguration(const Configuration& configuration) { impl_->setConfiguration(configuration); }

UrlSession::Configuration UrlSession::configuration() const { return impl_->configuration(); }

void UrlSession::dataTask(const std::string& url, Completion completion) {
    impl_->dataTask(url, std::move(completion));
}

void UrlSession::waitUntilIdle() { impl_->waitUntilIdle(); }

}  // namespace foundation
