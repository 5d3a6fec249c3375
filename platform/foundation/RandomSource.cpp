#include "platform/foundation/RandomSource.h"

#include "platform/foundation/Log.h"

#include <sys/random.h>

#include <chrono>
#include <mutex>
#include <random>
#include <unistd.h>

namespace foundation {

namespace {

std::uint64_t operatingSystemSeed() {
    std::uint64_t seed = 0;
    ssize_t got = getrandom(&seed, sizeof seed, 0);
    if (got != static_cast<ssize_t>(sizeof seed)) {
        // No entropy from the kernel: fall back to what differs between starts.
        Log::warning("random source: getrandom failed, seeding from the clock and the process id");
        auto ticks = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        auto wall = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
        seed = ticks ^ (wall << 1) ^ (static_cast<std::uint64_t>(getpid()) << 32);
    }
    return seed;
}

struct State {
    std::mutex mutex;
    std::mt19937_64 generator{operatingSystemSeed()};
    RandomSource::WordSource replacement;

    std::uint64_t nextWord() {
        std::lock_guard<std::mutex> lock(mutex);
        if (replacement) return replacement();
        return generator();
    }
};

// Created (and seeded) when the process starts.
State& state() {
    static State instance;
    return instance;
}

[[maybe_unused]] const bool seededAtStart = (state(), true);

}  // namespace

double RandomSource::fraction() {
    // The top 53 bits scaled by 2^-53: exactly representable and below 1.
    return static_cast<double>(state().nextWord() >> 11) * 0x1.0p-53;
}

std::uint32_t RandomSource::uniform(std::uint32_t upperBound) {
    if (upperBound <= 1) return 0;
    // Multiply-and-shift with rejection of the short range (Lemire): unbiased.
    const std::uint32_t threshold = static_cast<std::uint32_t>(-upperBound) % upperBound;
    for (;;) {
        auto word = static_cast<std::uint32_t>(state().nextWord() >> 32);
        std::uint64_t product = static_cast<std::uint64_t>(word) * upperBound;
        if (static_cast<std::uint32_t>(product) >= threshold) return static_cast<std::uint32_t>(product >> 32);
    }
}

void RandomSource::replaceWordSource(WordSource source) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.replacement = std::move(source);
}

}  // namespace foundation
