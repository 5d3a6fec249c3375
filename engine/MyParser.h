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
// currency element is skipped. A time that is not a "yyyy-MM-dd" date sets the date to ""
// (no record with such a date is ever stored, and a long text is not copied into each).
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

    foundation::XmlParser parser;
    std::string date;
    std::vector<Rates> rates;
};

}  // namespace ostrelo
