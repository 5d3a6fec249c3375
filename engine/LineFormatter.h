#pragma once

#include <cstdint>
#include <string>

namespace ostrelo {

// The one maker of the text of a line: display, preview, results, clipboard,
// Handoff and date texts.
class LineFormatter {
public:
    static std::string formatLine(const std::string& item, const std::string& type, std::int64_t digits,
                                  bool separator, std::int64_t fraction, std::int64_t linesAfter, double number,
                                  bool scientific, bool parenthesizeNegative, bool plainFormat);
    static std::string memoryLineText(const std::string& item, const std::string& type, std::int64_t digits,
                                      bool separator, std::int64_t fraction, std::int64_t linesAfter,
                                      double number, bool scientific, bool parenthesizeNegative);
};

}  // namespace ostrelo
