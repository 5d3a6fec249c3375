#include "engine/KeptLineTexts.h"

#include <algorithm>

namespace ostrelo {

std::size_t KeptLineTexts::keptLines(const CalculatorStack& stack, std::size_t count) const {
    const std::vector<std::uint64_t>& marks = stack.lineMarks();
    // Lines come and go at the two ends only and a mark is never given twice: when the first
    // line and the line at k are those of the kept texts, so is every line between them.
    const std::size_t common = std::min(count, marks_.size());
    if (common == 0 || marks[0] != marks_[0]) return 0;
    std::size_t k = common - 1;
    while (marks[k] != marks_[k]) --k;
    return k + 1;
}

const std::string& KeptLineTexts::joined(const CalculatorStack& stack, std::size_t count, const std::string& setting,
                                         const Format& format) {
    const auto& lines = stack.items;
    count = std::min(count, lines.size());
    // Marks that do not match the lines (lines changed by hand) keep nothing.
    const bool marked = stack.lineMarks().size() == lines.size();
    std::size_t kept = marked && setting == setting_ ? keptLines(stack, count) : 0;
    setting_ = setting;
    marks_.resize(kept);
    ends_.resize(kept);
    joined_.resize(kept == 0 ? 0 : ends_[kept - 1]);
    for (std::size_t i = kept; i < count; ++i) {
        joined_ += format(lines[i]);
        ends_.push_back(joined_.size());
        marks_.push_back(marked ? stack.lineMarks()[i] : 0);
    }
    if (!marked) {
        marks_.clear();
        ends_.clear();
    }
    return joined_;
}

}  // namespace ostrelo
