// Parsing and storing the real daily document: 29 currencies, 2 + 3n + n² = 930 keys in one transaction.
// Run from the repository root (or with OSTRELO_TEST_DATA set to tests/data).
#include "engine/ExchangeRateFeed.h"
#include "engine/MyParser.h"
#include "tests/support/TestEnvironment.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::vector<std::uint8_t> realDocument() {
    std::ifstream in(testsupport::testDataDirectory() / "eurofxref-daily.xml", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string s = text.str();
    return {s.begin(), s.end()};
}

void parseRealDocument(benchmark::State& state) {
    const auto document = realDocument();
    for (auto _ : state) {
        ostrelo::MyParser parser(document);
        benchmark::DoNotOptimize(parser.parse());
        benchmark::DoNotOptimize(parser.rates.data());
    }
}

void parseAndStoreRealDocument(benchmark::State& state) {
    const auto document = realDocument();
    const auto directory = testsupport::makeTemporaryDirectory("ostrelo-bench-rates");
    setenv("OSTRELO_GROUP_DIR", directory.c_str(), 1);
    if (document.empty()) state.SkipWithError("tests/data/eurofxref-daily.xml not found");
    for (auto _ : state) ostrelo::ExchangeRateFeed::storeRates(document, {}, std::nullopt);
    std::filesystem::remove_all(directory);
}

}  // namespace

BENCHMARK(parseRealDocument)->Unit(benchmark::kMicrosecond);
BENCHMARK(parseAndStoreRealDocument)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
