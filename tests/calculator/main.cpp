#include "platform/foundation/RandomSource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

// With "--print-random" the program prints one random fraction of a fresh start and
// exits: the random-source tests start it twice to see that each start is seeded anew.
int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--print-random") == 0) {
        std::printf("%.17g %.17g\n", foundation::RandomSource::fraction(), foundation::RandomSource::fraction());
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
