#pragma once

#include <cstdint>
#include <functional>

namespace foundation {

// The process's random numbers: uniform fractions and unbiased whole numbers below a bound.
// The generator is seeded from the operating system when the process starts, so two
// starts give different numbers. Tests replace the source of random words.
class RandomSource {
public:
    // A source of uniformly distributed 64-bit words.
    using WordSource = std::function<std::uint64_t()>;

    // A fraction in [0, 1) with 53 random bits.
    static double fraction();

    // A whole number in 0 ... upperBound - 1, every value equally likely (no modulo bias),
    // for 1 <= upperBound < 2^32. An upperBound of 0 gives 0.
    static std::uint32_t uniform(std::uint32_t upperBound);

    // Replaces the word source for the whole process; an empty source restores the
    // generator seeded from the operating system.
    static void replaceWordSource(WordSource source);
};

}  // namespace foundation
