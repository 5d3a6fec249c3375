#include "platform/foundation/Clock.h"

#include <mutex>

namespace foundation {

namespace {

struct State {
    std::mutex mutex;
    Clock::Source source;
};

State& state() {
    static State instance;
    return instance;
}

}  // namespace

Clock::TimePoint Clock::now() {
    State& s = state();
    Source source;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        source = s.source;
    }
    return source ? source() : std::chrono::system_clock::now();
}

void Clock::replaceSource(Source source) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.source = std::move(source);
}

void Clock::pinAt(TimePoint moment) {
    replaceSource([moment] { return moment; });
}

}  // namespace foundation
