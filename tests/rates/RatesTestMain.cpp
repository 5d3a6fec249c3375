#include "engine/ExchangeRateFeed.h"
#include "tests/rates/FeedDocuments.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

// Child mode for the kill test: stores two dated documents in turn, for ever, into the
// group directory given by OSTRELO_GROUP_DIR, until the parent kills the process.
[[noreturn]] void storeForEver(const char* firstDocumentPath, const char* secondDocumentPath) {
    std::string documents[2];
    const char* paths[2] = {firstDocumentPath, secondDocumentPath};
    for (int i = 0; i < 2; ++i) {
        FILE* file = std::fopen(paths[i], "rb");
        if (file == nullptr) std::_Exit(3);
        char buffer[65536];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) documents[i].append(buffer, n);
        std::fclose(file);
    }
    std::cout << "storing" << std::endl;
    for (unsigned round = 0;; ++round)
        ostrelo::ExchangeRateFeed::storeRates(ratestest::bytes(documents[round % 2]), {}, std::nullopt);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--store-for-ever") == 0) storeForEver(argv[2], argv[3]);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
