// What a settings store keeps of the batch on its connection, and the busy handler that bounds
// the batch's waits for the store.
#include "platform/foundation/StoreBatchState.h"

#include "platform/foundation/StoreConnection.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstddef>

namespace foundation {

void StoreBatchState::start(int waitMilliseconds, bool quiet) {
    *this = StoreBatchState{};
    wait_ = waitMilliseconds;
    quiet_ = quiet;
    on_ = true;
}

void StoreBatchState::refuseWrites() {
    refused_ = true;
    refusal_ = failure_.empty() ? "the store did not start the batch" : failure_;
    failure_.clear();
    failed_ = false;
}

void StoreBatchState::noteFailure(const std::string& reason) {
    if (!on_) return;
    if (!failed_) failure_ = reason;
    failed_ = true;
}

std::pair<std::string, int> StoreBatchState::end() {
    std::pair<std::string, int> outcome{failure_, waited_};
    *this = StoreBatchState{};
    return outcome;
}

int StoreBatchState::waitForStore(void* state, int attempt) {
    return static_cast<StoreBatchState*>(state)->waitOnce(attempt);
}

int StoreBatchState::waitOnce(int attempt) {
    static constexpr std::array<int, 12> delays{1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    if (!wait_ && attempt == 0) waited_ = 0;
    const int budget = wait_.value_or(StoreConnection::busyTimeoutMilliseconds);
    const auto step = static_cast<std::size_t>(std::min(attempt, static_cast<int>(delays.size()) - 1));
    const int delay = std::min(delays[step], budget - waited_);
    if (delay <= 0) return 0;
    sqlite3_sleep(delay);
    waited_ += delay;
    return 1;
}

}  // namespace foundation
