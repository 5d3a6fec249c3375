#pragma once

#include "engine/Rates.h"
#include "platform/foundation/UrlError.h"
#include "platform/foundation/UrlResponse.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ostrelo {

// Keeps the euro reference rates in the suite current. When the stored rates are not of
// today and the machine is on a network, the day's document is downloaded, parsed, and
// every key of it is written in one transaction (SharedSettings): the rates' date, the euro's
// pair with itself, and for each record X its date and its pairs with the euro and with every
// record Y.
class ExchangeRateFeed {
public:
    static constexpr const char* defaultFeedUrl = "https://www.ecb.europa.eu/stats/eurofxref/eurofxref-daily.xml";
    // Environment variable that replaces the feed's URL (tests point it at a local server).
    static constexpr const char* feedUrlVariable = "OSTRELO_RATES_URL";

    // Checks the stored date and, when due and on a network, starts the download; none while
    // the download of an earlier check runs.
    static void updateRatesIfNeeded();
    // Starts the asynchronous request on the shared URL session; returns at once.
    static void downloadRates();
    // The request's completion: parses and stores (and ends a check's download). The response
    // is not examined.
    static void storeRates(std::optional<std::vector<std::uint8_t>> data, const foundation::UrlResponse& response,
                           std::optional<foundation::UrlError> error);

    // Writes every key of the records in one transaction; false (nothing written) on failure,
    // when there are no records, or when the feed is beyond the limits of recordsToStore.
    static bool storeRecords(const std::vector<Rates>& rates);

    // The store's work grows with the square of the currencies and holds the store's write
    // lock meanwhile, so a feed of more distinct codes than this is refused whole.
    static constexpr std::size_t maximumCodes = 64;

    // The rates a record may carry, in units of its currency per euro: beyond them a rate is
    // no rate of a currency, and its reciprocal and cross rates would not be usable either.
    static constexpr double minimumRate = 1e-6;
    static constexpr double maximumRate = 1e9;
    // The first day the reference rates were published.
    static constexpr const char* firstFeedDate = "1999-01-04";

    // The records a feed stores: each code once (a later record of a code takes the place
    // of the earlier, as its keys would have), no record of "EUR" itself and none whose rate
    // lies outside minimumRate ... maximumRate (both logged; the currency keeps the rates it
    // had), and the date of the first record as the rates' date. None (logged) when a record's
    // date is not a "yyyy-MM-dd" date, lies before firstFeedDate or more than a day after
    // today, or there are more than maximumCodes codes.
    struct Feed {
        std::string date;
        std::vector<Rates> records;
    };
    static std::optional<Feed> recordsToStore(const std::vector<Rates>& rates);

    // A derived rate as stored: four decimal places (halves away from zero), or four
    // significant digits when its magnitude is below 0.001.
    static double roundedRate(double value);

    // Today (the wall clock, which tests pin) in the local time zone as "yyyy-MM-dd":
    // Gregorian, Latin digits, whatever the locale.
    static std::string todayText();
    // The day after today, written the same way.
    static std::string tomorrowText();

    static std::string feedUrl();

    // The network test, Reachability::isConnectedToNetwork unless replaced (tests replace it;
    // an empty function restores it). Set it before any check runs.
    static void setNetworkTest(std::function<bool()> test);
};

}  // namespace ostrelo
