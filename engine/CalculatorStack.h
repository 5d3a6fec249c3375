#pragma once

#include "engine/CalculatorLine.h"
#include "platform/foundation/UserDefaults.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ostrelo {

// The calculation being entered, written through to the suite line by line under
// SharedSettings::calculationLines. A pending reset is honoured on creation.
// Each operation opens the suite afresh and commits its writes together (see outOfStep). Loading stops
// at the first stored line that is missing or malformed: the lines before it are loaded
// and userDefaultsCount is their number; loading never rewrites the stored count.
class CalculatorStack {
public:
    std::vector<CalculatorLine> items;
    std::int64_t userDefaultsCount = 0;
    // Set when a write did not reach the store: `items` may then differ from the stored
    // lines, and no further write is tried until the stack is written whole or loaded again.
    bool outOfStep = false;

    // Loads the stack from the suite after honouring a pending reset.
    CalculatorStack();

    void pushLine(const std::string& item, const std::string& type, std::int64_t digits, bool separator,
                  std::int64_t fraction, std::int64_t parentheses, double number);
    // Removes and returns the last line; on an empty stack nothing changes and none is returned.
    std::optional<CalculatorLine> popLine();
    void clearStack();
    void reloadStack();
    // Removes and returns the first line; on an empty stack nothing changes and none is returned.
    std::optional<CalculatorLine> removeFirstLine();
    void insertFirstLine(const std::string& item, const std::string& type, std::int64_t digits, bool separator,
                         std::int64_t fraction, std::int64_t parentheses, double number);
    // The lines written whole, with the count, inside a transaction (an unsaved stack's save).
    bool storeWhole(foundation::UserDefaults::Transaction& transaction) const;
    std::string stackText() const;
    std::int64_t lineCount() const;

    // One mark per line of `items`, given when the line came into the stack and unique in the
    // process: a line keeps its mark while it stays, so that a text made from it can be kept
    // until it goes (KeptLineTexts). Lines only come and go at the two ends.
    const std::vector<std::uint64_t>& lineMarks() const { return marks_; }

private:
    static std::uint64_t nextMark();
    void markAllLines();
    std::vector<std::uint64_t> marks_;
};

}  // namespace ostrelo
