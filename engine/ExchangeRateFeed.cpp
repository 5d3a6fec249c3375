#include "engine/ExchangeRateFeed.h"

#include "engine/MyParser.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Reachability.h"
#include "platform/foundation/UrlSession.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unordered_map>
#include <utility>

namespace ostrelo {

namespace {

// The currency every rate of the feed is given against.
const std::string euroCode = "EUR";

std::function<bool()>& networkTest() {
    static std::function<bool()> test;
    return test;
}

bool isConnected() {
    const auto& test = networkTest();
    return test ? test() : foundation::Reachability::isConnectedToNetwork();
}

// Set while a download that a check started runs, until its completion has stored what it
// got: a check meanwhile starts none, so that checks at every activation never pile up.
std::atomic<bool>& downloading() {
    static std::atomic<bool> running{false};
    return running;
}

struct DownloadEnd {
    ~DownloadEnd() { downloading() = false; }
};

// A derived rate is written only when it is a usable rate; otherwise the key is removed,
// so that no stale value of an earlier day sits among today's.
bool writeRate(foundation::UserDefaults::Transaction& transaction, const std::string& key, double value) {
    if (std::isfinite(value) && value > 0.0) return transaction.set(key, value);
    foundation::Log::warning("exchange rates: no usable value for " + key);
    return transaction.removeObject(key);
}

// The local day `daysAhead` after today's, as "yyyy-MM-dd".
std::string localDateText(int daysAhead) {
    const std::time_t now = std::chrono::system_clock::to_time_t(foundation::Clock::now());
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) gmtime_r(&now, &local);
    if (daysAhead != 0) {
        // Noon of the day, moved by whole days: no change of the clocks lands on another day.
        local.tm_mday += daysAhead;
        local.tm_hour = 12;
        local.tm_min = local.tm_sec = 0;
        local.tm_isdst = -1;
        std::tm moved = local;
        if (std::mktime(&moved) != static_cast<std::time_t>(-1)) local = moved;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return text;
}

}  // namespace

void ExchangeRateFeed::updateRatesIfNeeded() {
    if (!isConnected()) return;
    const std::string today = todayText();
    const auto suite = SharedSettings::open();
    const auto stored = suite->object(SharedSettings::ratesDate);
    if (stored && stored->stringValue() == today) return;
    if (downloading().exchange(true)) return;
    downloadRates();
}

void ExchangeRateFeed::downloadRates() {
    foundation::UrlSession::shared().dataTask(feedUrl(), storeRates);
}

void ExchangeRateFeed::storeRates(std::optional<std::vector<std::uint8_t>> data, const foundation::UrlResponse&,
                                  std::optional<foundation::UrlError> error) {
    const DownloadEnd end;
    if (error) {
        // Offline is no fault: the stored rates stay, the next check tries again, and the log
        // says so once.
        static std::atomic<bool> told{false};
        if (!told.exchange(true))
            foundation::Log::info("exchange rates: the download failed (" + error->description +
                                  "); the stored rates stay");
        return;
    }
    if (!data) return;
    MyParser parser(std::move(*data));
    if (!parser.parse()) {
        foundation::Log::warning("exchange rates: the feed document is not well formed (" +
                                 parser.parser.errorDescription() + "); nothing stored");
        return;
    }
    if (const std::string skipped = parser.skippedSummary(); !skipped.empty())
        foundation::Log::info("exchange rates: " + skipped);
    if (parser.rates.empty()) return;
    storeRecords(parser.rates);
}

bool ExchangeRateFeed::storeRecords(const std::vector<Rates>& records) {
    const auto feed = recordsToStore(records);
    if (!feed || feed->records.empty()) return false;
    const std::vector<Rates>& rates = feed->records;
    const auto suite = SharedSettings::open();
    const bool stored = suite->performTransaction([&](foundation::UserDefaults::Transaction& transaction) {
        if (!transaction.set(SharedSettings::ratesDate, feed->date)) return false;
        if (!transaction.set(SharedSettings::ratePair(euroCode, euroCode), 1.0)) return false;
        for (const Rates& x : rates) {
            if (!transaction.set(SharedSettings::rateDate(x.currency), x.date)) return false;
            if (!writeRate(transaction, SharedSettings::ratePair(euroCode, x.currency), x.rate)) return false;
            if (!writeRate(transaction, SharedSettings::ratePair(x.currency, euroCode), roundedRate(1.0 / x.rate)))
                return false;
            for (const Rates& y : rates) {
                const double cross = x.currency == y.currency ? 1.0 : roundedRate(y.rate / x.rate);
                if (!writeRate(transaction, SharedSettings::ratePair(x.currency, y.currency), cross)) return false;
            }
        }
        return true;
    });
    suite->synchronize();
    if (!stored) foundation::Log::warning("exchange rates: the rates could not be stored; the earlier ones stay");
    return stored;
}

std::optional<ExchangeRateFeed::Feed> ExchangeRateFeed::recordsToStore(const std::vector<Rates>& rates) {
    Feed feed;
    std::unordered_map<std::string, std::size_t> positions;
    bool euro = false;
    const std::string latest = tomorrowText();
    for (const Rates& record : rates) {
        if (!MyParser::isFeedDate(record.date)) {
            foundation::Log::warning("exchange rates: the feed's date is not a yyyy-MM-dd date; nothing stored");
            return std::nullopt;
        }
        // The texts are of one fixed width: their order is the order of the days.
        if (record.date < firstFeedDate || record.date > latest) {
            foundation::Log::warning("exchange rates: the feed's date " + record.date +
                                     " is before the first rates or after tomorrow; nothing stored");
            return std::nullopt;
        }
        if (record.currency == euroCode) {
            euro = true;
            continue;
        }
        if (!(record.rate >= minimumRate && record.rate <= maximumRate)) {
            char rate[32];
            std::snprintf(rate, sizeof rate, "%g", record.rate);
            foundation::Log::warning("exchange rates: " + record.currency + " at " + rate +
                                     " per euro is no rate of a currency; its rates stay as they were");
            continue;
        }
        if (feed.records.empty()) feed.date = record.date;
        const auto found = positions.find(record.currency);
        if (found != positions.end()) {
            feed.records[found->second] = record;  // its keys would end with this record's values
            continue;
        }
        if (feed.records.size() == maximumCodes) {
            foundation::Log::warning("exchange rates: the feed has more than " + std::to_string(maximumCodes) +
                                     " currencies; nothing stored");
            return std::nullopt;
        }
        positions.emplace(record.currency, feed.records.size());
        feed.records.push_back(record);
    }
    if (euro) foundation::Log::warning("exchange rates: a record of EUR itself is no rate against the euro; skipped");
    return feed;
}

double ExchangeRateFeed::roundedRate(double value) {
    if (!std::isfinite(value) || value == 0.0) return value;
    if (std::fabs(value) >= 0.001) {
        const double scaled = value * 10000.0;
        // A value too large to scale has no fraction digits left to round.
        return std::isfinite(scaled) ? std::round(scaled) / 10000.0 : value;
    }
    // Four significant digits: scale by an exact power of ten so the last division rounds once.
    const double magnitude = std::fabs(value);
    int places = 3 - static_cast<int>(std::floor(std::log10(magnitude)));  // 7 and up below 0.001
    // log10 may be off by one next to a power of ten: keep the scaled value within 1000...9999.
    if (places <= 22 && std::round(magnitude * std::pow(10.0, places)) >= 10000.0) --places;
    else if (places <= 22 && std::round(magnitude * std::pow(10.0, places)) < 1000.0) ++places;
    if (places > 22) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3e", value);
        return std::strtod(text, nullptr);
    }
    const double scale = std::pow(10.0, places);
    return std::round(value * scale) / scale;
}

std::string ExchangeRateFeed::todayText() { return localDateText(0); }

std::string ExchangeRateFeed::tomorrowText() { return localDateText(1); }

std::string ExchangeRateFeed::feedUrl() {
    const char* replaced = std::getenv(feedUrlVariable);
    return replaced != nullptr && *replaced != '\0' ? std::string(replaced) : std::string(defaultFeedUrl);
}

void ExchangeRateFeed::setNetworkTest(std::function<bool()> test) { networkTest() = std::move(test); }

}  // namespace ostrelo
