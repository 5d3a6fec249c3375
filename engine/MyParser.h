#pragma once

#include "engine/Rates.h"
#include "platform/foundation/XmlParser.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ostrelo {

// Reads the records of one downloaded feed document. Only elements named "cube" in any
// letter case count: one with a "time" sets the date, one with a "currency" adds a
// record with the current date. A record needs a code of exactly three capital letters
// A-Z and a rate that is a plain decimal number, finite and greater than 0; any other
// currency element is skipped and counted by its reason. A time that is not a "yyyy-MM-dd"
// date sets the date to "" (no record with such a date is ever stored, and a long text is not
// copied into each).
class MyParser {
public:
    explicit MyParser(std::vector<std::uint8_t> data);
    MyParser(const MyParser&) = delete;
    MyParser& operator=(const MyParser&) = delete;

    // Runs the parse to its end; true when the whole document was well formed.
    bool parse();

    // The parser's element-start callback.
    void didStartElement(const std::string& elementName, const foundation::XmlParser::Attributes& attributes);

    // A rate attribute's whole text as a decimal number: optional sign, digits with at most
    // one "." and nothing else. None when the text is not such a number.
    static std::optional<double> decimalNumber(const std::string& text);
    static bool isCurrencyCode(const std::string& code);
    // A "yyyy-MM-dd" text of a day of the Gregorian calendar ("2026-07-06").
    static bool isFeedDate(const std::string& text);

    // One line for the log: how many currency elements were skipped and why; empty when none.
    std::string skippedSummary() const;

    foundation::XmlParser parser;
    std::string date;
    std::vector<Rates> rates;

private:
    // The currency elements skipped so far, by reason.
    struct Skipped {
        int code = 0;         // not three capital letters
        int missingRate = 0;  // no "rate"
        int notDecimal = 0;   // a rate that is no plain decimal number ("1e9", "nan", "0x10")
        int notPositive = 0;  // 0 or below
        int total() const { return code + missingRate + notDecimal + notPositive; }
    };
    Skipped skipped_;
    int currencyElements_ = 0;
};

}  // namespace ostrelo
