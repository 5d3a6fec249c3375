// Helper process of the kill test: stores two feed documents in turn, for ever, into the
// group directory of OSTRELO_GROUP_DIR, until it is killed. It reports on its output: "s" once
// it starts storing, then "." after each finished store.
#include "engine/ExchangeRateFeed.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::uint8_t> readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string s = text.str();
    return {s.begin(), s.end()};
}

// Unbuffered, so that a report is in the pipe before the next store begins.
void report(char event) {
    if (write(STDOUT_FILENO, &event, 1) != 1) _exit(4);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " FIRST.xml SECOND.xml\n";
        return 2;
    }
    const std::vector<std::uint8_t> documents[2] = {readFile(argv[1]), readFile(argv[2])};
    if (documents[0].empty() || documents[1].empty()) return 3;
    report('s');
    for (unsigned round = 0;; ++round) {
        ostrelo::ExchangeRateFeed::storeRates(documents[round % 2], {}, std::nullopt);
        report('.');
    }
}
