#pragma once

#include <string>

namespace ostrelo {

// One record of the euro reference-rate feed.
struct Rates {
    std::string date;      // publication date that applies to the record, as the feed gives it
    std::string currency;  // three capital letters
    double rate = 0.0;     // units of that currency per euro
};

}  // namespace ostrelo
