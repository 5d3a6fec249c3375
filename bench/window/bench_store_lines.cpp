// Writes a long calculation into the store of the group directory ($OSTRELO_GROUP_DIR), for the
// window benchmarks (bench/window-keys.sh --lines): bench_store_lines LINES
#include "bench/StoredCalculation.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const long lines = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
    if (lines < 1) {
        std::fprintf(stderr, "usage: bench_store_lines LINES\n");
        return 2;
    }
    if (!storeLongCalculation(lines)) {
        std::fprintf(stderr, "bench_store_lines: the store did not take the lines\n");
        return 1;
    }
    return 0;
}
