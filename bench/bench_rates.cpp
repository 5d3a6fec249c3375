// Parsing and storing the real daily document: 29 currencies, 2 + 3n + n² = 930 keys in one transaction.
// The feed limits: a document of 64 currencies (the most that is stored, 4,290 keys) is stored
// in well under 50 ms; one of 3,000 currencies is refused as fast, the store's files staying
// byte for byte as they were (the benchmark fails otherwise).
// Run from the repository root (or with OSTRELO_TEST_DATA set to tests/data).
#include "engine/ExchangeRateFeed.h"
#include "engine/MyParser.h"
#include "tests/support/ScratchGroupDirectory.h"
#include "tests/support/TestEnvironment.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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
    const testsupport::ScratchGroupDirectory group("ostrelo-bench-rates");
    if (document.empty()) state.SkipWithError("tests/data/eurofxref-daily.xml not found");
    for (auto _ : state) ostrelo::ExchangeRateFeed::storeRates(document, {}, std::nullopt);
}

// A document in the real one's shape with `count` currencies "AAA", "AAB", ...
std::vector<std::uint8_t> documentOfCurrencies(std::size_t count) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gesmes:Envelope xmlns:gesmes=\"http://www.gesmes.org/xml/2002-08-01\" "
        "xmlns=\"http://www.ecb.int/vocabulary/2002-08-01/eurofxref\">\n\t<Cube>\n\t\t<Cube time='2026-07-06'>\n";
    for (std::size_t i = 0; i < count; ++i) {
        const std::string code{static_cast<char>('A' + i / 676 % 26), static_cast<char>('A' + i / 26 % 26),
                               static_cast<char>('A' + i % 26)};
        text += "\t\t\t<Cube currency='" + code + "' rate='" + std::to_string(1 + i) + ".2345'/>\n";
    }
    text += "\t\t</Cube>\n\t</Cube>\n</gesmes:Envelope>\n";
    return {text.begin(), text.end()};
}

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void storeSixtyFourCurrencies(benchmark::State& state) {
    const auto document = documentOfCurrencies(64);
    const testsupport::ScratchGroupDirectory group("ostrelo-bench-rates");
    for (auto _ : state) ostrelo::ExchangeRateFeed::storeRates(document, {}, std::nullopt);
    state.counters["bytes"] = static_cast<double>(document.size());
}

void refuseThreeThousandCurrencies(benchmark::State& state) {
    const auto document = documentOfCurrencies(3000);
    const testsupport::ScratchGroupDirectory group("ostrelo-bench-rates");
    ostrelo::ExchangeRateFeed::storeRates(realDocument(), {}, std::nullopt);
    const auto store = group.path() / "group.sqlite";
    const auto journal = group.path() / "group.sqlite-wal";
    const std::string before = fileBytes(store) + fileBytes(journal);
    for (auto _ : state) ostrelo::ExchangeRateFeed::storeRates(document, {}, std::nullopt);
    if (before.empty() || fileBytes(store) + fileBytes(journal) != before) state.SkipWithError("the store changed");
    state.counters["bytes"] = static_cast<double>(document.size());
}

}  // namespace

BENCHMARK(parseRealDocument)->Unit(benchmark::kMicrosecond);
BENCHMARK(parseAndStoreRealDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(storeSixtyFourCurrencies)->Unit(benchmark::kMillisecond);
BENCHMARK(refuseThreeThousandCurrencies)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
