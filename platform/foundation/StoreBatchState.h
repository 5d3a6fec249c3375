// What a settings store keeps of the batch on its connection: its wait for the store, bounded
// in all, its first failure, and whether the store refused it.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace foundation {

class StoreBatchState {
public:
    // A batch begins: its statements together wait at most `waitMilliseconds`; a quiet batch
    // logs nothing of its own failures.
    void start(int waitMilliseconds, bool quiet);
    // After a batch that could not begin: its writes fail at once, for the reason it did not.
    void refuseWrites();
    // Notes why a write failed; the first reason of a batch is the one it reports.
    void noteFailure(const std::string& reason);
    // Ends the batch's state: the first failure and the planned wait in milliseconds.
    std::pair<std::string, int> end();

    bool failed() const { return failed_; }
    bool refused() const { return refused_; }
    const std::string& refusal() const { return refusal_; }
    bool quiet() const { return quiet_; }

    // The busy handler of every connection in use (`state` is the store's StoreBatchState):
    // SQLite's own schedule of short sleeps, added up as planned. Outside a batch each statement
    // may wait the busy timeout; a batch's wait bounds all of its statements together.
    static int waitForStore(void* state, int attempt);

private:
    int waitOnce(int attempt);

    bool on_ = false;
    bool failed_ = false;
    bool refused_ = false;
    std::string failure_;
    std::string refusal_;
    std::optional<int> wait_;
    int waited_ = 0;
    bool quiet_ = false;
};

}  // namespace foundation
