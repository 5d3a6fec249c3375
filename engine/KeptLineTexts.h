#pragma once

#include "engine/CalculatorLine.h"
#include "engine/CalculatorStack.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ostrelo {

// The texts of a stack's lines joined into one, each line's text made once and kept while the
// line stays in the stack, so that a key, which changes the last lines only, makes the texts
// of those lines alone. A change of `setting` (the locale, a notation: whatever else the texts
// depend on) makes every text again.
class KeptLineTexts {
public:
    using Format = std::function<std::string(const CalculatorLine& line)>;

    // The texts of the first `count` lines of `stack` (at most all of them), joined in order.
    const std::string& joined(const CalculatorStack& stack, std::size_t count, const std::string& setting,
                              const Format& format);

private:
    // How many of the first lines are still those whose texts are kept.
    std::size_t keptLines(const CalculatorStack& stack, std::size_t count) const;

    std::string setting_;
    std::vector<std::uint64_t> marks_;
    // Where each line's text ends in `joined_`.
    std::vector<std::size_t> ends_;
    std::string joined_;
};

}  // namespace ostrelo
