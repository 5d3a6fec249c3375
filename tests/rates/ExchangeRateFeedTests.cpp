#include "engine/Calculator.h"
#include "engine/CalculatorStack.h"
#include "engine/ExchangeRateFeed.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Reachability.h"
#include "platform/foundation/UrlSession.h"
#include "tests/rates/FeedDocuments.h"
#include "tests/rates/LocalHttpServer.h"
#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using foundation::PropertyListValue;
using foundation::UrlSession;
using ostrelo::ExchangeRateFeed;
using ostrelo::SharedSettings;
using ratestest::LocalHttpServer;
using ratestest::Store;
using namespace std::chrono_literals;

namespace {

class FeedTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        saved_ = UrlSession::shared().configuration();
        UrlSession::Configuration quick;
        quick.connectTimeout = 1000ms;
        quick.timeout = 1500ms;
        UrlSession::shared().setConfiguration(quick);  // the body cap stays as it is
        ExchangeRateFeed::setNetworkTest([] { return true; });
        setenv(ExchangeRateFeed::feedUrlVariable, server.url().c_str(), 1);
    }

    void TearDown() override {
        UrlSession::shared().waitUntilIdle();
        unsetenv(ExchangeRateFeed::feedUrlVariable);
        ExchangeRateFeed::setNetworkTest({});
        UrlSession::shared().setConfiguration(saved_);
        SuiteTest::TearDown();
    }

    static Store store() { return SharedSettings::open()->dictionaryRepresentation(); }

    // An earlier day's rates, a rate set by hand, a calculation and a setting.
    static Store seed() {
        ExchangeRateFeed::storeRates(ratestest::bytes(ratestest::feedDocument(
                                         "2026-07-03", {{"USD", 1.1}, {"JPY", 170.0}, {"GBP", 0.86}, {"XAU", 0.0005}})),
                                     {}, std::nullopt);
        auto suite = SharedSettings::open();
        suite->set("USDJPY", 999.0);
        suite->set("count", std::int64_t{2});
        suite->set("1", PropertyListValue::Array{"5", "N", 5.0, std::int64_t{1}, false, std::int64_t{0}, std::int64_t{0}});
        suite->set("reset", false);
        suite->set("preference_theme_phone", "dark");
        return store();
    }

    Store download(LocalHttpServer::Reply reply) {
        server.setReply(std::move(reply));
        const int requests = server.requestCount();
        ExchangeRateFeed::downloadRates();
        UrlSession::shared().waitUntilIdle();
        EXPECT_EQ(server.requestCount(), requests + 1);
        return store();
    }

    LocalHttpServer server;

private:
    UrlSession::Configuration saved_;
};

LocalHttpServer::Reply xml(std::string body) { return {200, "text/xml", std::move(body)}; }

}  // namespace

TEST_F(FeedTest, TheRealDocumentWritesEveryKeyAndNothingElse) {
    const Store before = seed();
    EXPECT_EQ(before.at("EUR_date"), PropertyListValue("2026-07-03"));
    const Store after = download(xml(ratestest::realDocument()));
    const Store written = ratestest::expectedKeys("2026-07-06", ratestest::realRates());
    EXPECT_EQ(written.size(), 2u + 3u * 29u + 29u * 29u);
    EXPECT_EQ(ratestest::difference(ratestest::merged(before, written), after), "");
    // The examples worked by hand; the rate set by hand is overwritten.
    EXPECT_EQ(after.at("EURUSD"), PropertyListValue(1.1415));
    EXPECT_EQ(after.at("USDEUR"), PropertyListValue(0.876));
    EXPECT_EQ(after.at("USDJPY"), PropertyListValue(162.3390));
    EXPECT_EQ(after.at("IDRGBP"), PropertyListValue(4.159e-05));
    EXPECT_EQ(after.at("IDREUR"), PropertyListValue(4.863e-05));
    EXPECT_EQ(after.at("GBPGBP"), PropertyListValue(1.0));
    EXPECT_EQ(after.at("EUR_date"), PropertyListValue("2026-07-06"));
    EXPECT_EQ(after.at("XAUEUR"), before.at("XAUEUR"));  // a currency not in today's document keeps its keys
}

TEST_F(FeedTest, UpperCaseElementNamesCountAsCube) {
    const Store before = seed();
    const Store after = download(xml("<?xml version='1.0'?><GESMES:ENVELOPE xmlns:GESMES='urn:x'><CUBE>"
                                     "<CUBE TIME='x' time='2026-07-07'><CUBE currency='USD' rate='1.0850'/>"
                                     "<cuBE currency='JPY' rate='163.12'/></CUBE></CUBE></GESMES:ENVELOPE>"));
    const Store written = ratestest::expectedKeys("2026-07-07", {{"USD", 1.085}, {"JPY", 163.12}});
    EXPECT_EQ(written.size(), 2u + 3u * 2u + 2u * 2u);
    EXPECT_EQ(ratestest::difference(ratestest::merged(before, written), after), "");
    EXPECT_EQ(after.at("EURUSD"), PropertyListValue(1.085));
    EXPECT_EQ(after.at("USDEUR"), PropertyListValue(0.9217));
    EXPECT_EQ(after.at("USDUSD"), PropertyListValue(1.0));
    EXPECT_EQ(after.at("USDJPY"), PropertyListValue(150.341));
    EXPECT_EQ(after.at("JPYUSD"), PropertyListValue(0.0067));
}

TEST_F(FeedTest, BadAndMissingRatesAndOddCodesMakeNoKeys) {
    const Store before = seed();
    const Store after = download(xml(
        "<r><Cube><Cube time='2026-07-07'>"
        "<Cube currency='co' rate='2'/><Cube currency='unt' rate='3'/><Cube currency='re' rate='2'/>"
        "<Cube currency='set' rate='2'/><Cube currency='usd' rate='1.1'/><Cube currency='EURO' rate='1.5'/>"
        "<Cube currency='JPY'/><Cube currency='GBP' rate='abc'/><Cube currency='CHF' rate='0'/>"
        "<Cube currency='SEK' rate='-11'/><Cube currency='NOK' rate='1,5'/><Cube currency='ZAR' rate='1e999'/>"
        "<Cube currency='USD' rate='1.0850'/><Cube currency='DKK' rate='7.4748'/></Cube></Cube></r>"));
    const Store written = ratestest::expectedKeys("2026-07-07", {{"USD", 1.085}, {"DKK", 7.4748}});
    EXPECT_EQ(ratestest::difference(ratestest::merged(before, written), after), "");
    EXPECT_EQ(after.at("count"), PropertyListValue(std::int64_t{2}));
    EXPECT_EQ(after.at("reset"), PropertyListValue(false));
    EXPECT_EQ(after.at("USDJPY"), PropertyListValue(999.0));  // JPY had no rate today
}

TEST_F(FeedTest, DocumentsWithoutUsableRecordsOrThatAreNotWellFormedChangeNothing) {
    const Store before = seed();
    const std::string real = ratestest::realDocument();
    const std::vector<LocalHttpServer::Reply> replies = {
        xml(real.substr(0, real.size() / 2)),  // cut off in the middle
        xml(real.substr(0, real.size() - 1)),  // only the last ">" missing
        {404, "text/html",
         "<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head><body><h1>Not Found</h1><hr>"
         "<p>The requested URL was not found.</p></body></html>"},
        {503, "text/html", "<html><body><p>Service unavailable</p></body></html>"},  // well formed, no cube
        xml(""),
        xml("<r><Cube time='2026-07-07'/></r>"),
        xml(real + "<extra/>"),  // records and then a second root
    };
    for (const auto& reply : replies) {
        const Store after = download(reply);
        EXPECT_EQ(ratestest::difference(before, after), "") << reply.body.substr(0, 80);
    }
}

// Records the feed's rules drop are counted: one line of information per document says how
// many and why; a document with none skipped says nothing.
TEST_F(FeedTest, SkippedRecordsAreCountedInOneLinePerDocument) {
    const auto logOf = [](const std::string& records) {
        testing::internal::CaptureStderr();
        ExchangeRateFeed::storeRates(ratestest::bytes("<r><Cube time='2026-07-07'>" + records + "</Cube></r>"), {},
                                     std::nullopt);
        return testing::internal::GetCapturedStderr();
    };
    const std::string log = logOf(
        "<Cube currency='AAA' rate='1e9'/><Cube currency='BBB' rate='-3'/><Cube currency='CCC' rate='nan'/>"
        "<Cube currency='DDD' rate='inf'/><Cube currency='EEE' rate='0x10'/><Cube currency='FFF' rate='0'/>"
        "<Cube currency='usd' rate='1.1'/><Cube currency='JPY'/><Cube currency='USD' rate='1.0850'/>");
    EXPECT_EQ(log.find("skipped"), log.rfind("skipped")) << log;
    EXPECT_NE(log.find("info: exchange rates: skipped 8 of the 9 currency records: 1 with a code that is not three "
                       "capital letters, 1 without a rate, 4 with a rate that is no plain decimal number, 2 with a "
                       "rate of 0 or below\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(store().at("EURUSD"), PropertyListValue(1.085));
    EXPECT_EQ(logOf("<Cube currency='USD' rate='1.0850'/>"), "");
}

// Being offline is no fault: the failures say so once, as information.
TEST_F(FeedTest, TransportFailuresChangeNothing) {
    const Store before = seed();
    testing::internal::CaptureStderr();

    // A body over the cap: the real document padded with a comment past it.
    const std::size_t cap = UrlSession::shared().configuration().maximumBodySize;
    std::string padded = ratestest::realDocument();
    padded.insert(padded.find("<gesmes:Envelope"), "<!--" + std::string(cap, 'x') + "-->");
    for (bool length : {true, false}) {
        EXPECT_EQ(ratestest::difference(before, download({200, "text/xml", padded, length})), "");
    }

    // A server that accepts and never answers: the time-out ends it.
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(ratestest::difference(before, download({200, "text/xml", "", true, true})), "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);

    // A port that refuses.
    const std::string refused = "http://127.0.0.1:" + std::to_string(LocalHttpServer::refusedPort()) +
                                "/stats/eurofxref/eurofxref-daily.xml";
    setenv(ExchangeRateFeed::feedUrlVariable, refused.c_str(), 1);
    ExchangeRateFeed::downloadRates();
    UrlSession::shared().waitUntilIdle();
    EXPECT_EQ(ratestest::difference(before, store()), "");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_NE(log.find("info: exchange rates: the download failed"), std::string::npos) << log;
}

TEST_F(FeedTest, ACompletionWithAnErrorOrWithoutDataWritesNothing) {
    const Store before = seed();
    const auto real = ratestest::bytes(ratestest::realDocument());
    ExchangeRateFeed::storeRates(real, {}, foundation::UrlError{foundation::UrlError::Code::other, "failed"});
    ExchangeRateFeed::storeRates(std::nullopt, {}, std::nullopt);
    EXPECT_EQ(ratestest::difference(before, store()), "");
    ExchangeRateFeed::storeRates(real, {404, ""}, std::nullopt);  // the status is not examined
    EXPECT_EQ(store().at("EUR_date"), PropertyListValue("2026-07-06"));
}

TEST_F(FeedTest, RatesOfTodayAreNotFetchedAgainOthersAreFetchedOnce) {
    server.setReply(xml(ratestest::realDocument()));
    const auto requestsAfterOneCheck = [this](const std::optional<PropertyListValue>& storedDate) {
        auto suite = SharedSettings::open();
        if (storedDate) suite->set("EUR_date", *storedDate);
        else suite->removeObject("EUR_date");
        const int before = server.requestCount();
        ExchangeRateFeed::updateRatesIfNeeded();
        UrlSession::shared().waitUntilIdle();
        return server.requestCount() - before;
    };
    const std::string today = ExchangeRateFeed::todayText();
    EXPECT_EQ(requestsAfterOneCheck(PropertyListValue(today)), 0);
    EXPECT_EQ(requestsAfterOneCheck(std::nullopt), 1);
    EXPECT_EQ(requestsAfterOneCheck(PropertyListValue("2026-07-06")), 1);
    EXPECT_EQ(requestsAfterOneCheck(PropertyListValue(std::int64_t{20260706})), 1);
    EXPECT_EQ(requestsAfterOneCheck(PropertyListValue(true)), 1);
    EXPECT_EQ(requestsAfterOneCheck(PropertyListValue(PropertyListValue::Array{today})), 1);
    EXPECT_EQ(requestsAfterOneCheck(PropertyListValue(today + " ")), 1);
    EXPECT_EQ(server.requestLines().back(), "GET /stats/eurofxref/eurofxref-daily.xml HTTP/1.1");

    // Without a network nothing is requested.
    ExchangeRateFeed::setNetworkTest([] { return false; });
    EXPECT_EQ(requestsAfterOneCheck(std::nullopt), 0);
}

TEST_F(FeedTest, TodayIsTheDayOfTheWallClockThatTestsPin) {
    server.setReply(xml(ratestest::realDocument()));
    setenv("TZ", "UTC", 1);
    tzset();
    // 2031-03-04 23:30 UTC, far from the machine's own day.
    foundation::Clock::pinAt(std::chrono::system_clock::time_point(std::chrono::seconds(1930433400)));
    const std::string today = ExchangeRateFeed::todayText();
    SharedSettings::open()->set("EUR_date", "2031-03-04");
    ExchangeRateFeed::updateRatesIfNeeded();
    UrlSession::shared().waitUntilIdle();
    const int requests = server.requestCount();
    setenv("TZ", "JST-9", 1);  // the day of the local time zone: already the 5th there
    tzset();
    const std::string tomorrow = ExchangeRateFeed::todayText();
    foundation::Clock::replaceSource({});
    unsetenv("TZ");
    tzset();
    EXPECT_EQ(today, "2031-03-04");
    EXPECT_EQ(requests, 0);
    EXPECT_EQ(tomorrow, "2031-03-05");
}

// The real app, started while the feed fails, checks the rates again each time its window
// becomes active (here: when a second start brings it forward), one check at a time.
TEST_F(FeedTest, TheAppChecksTheRatesAgainWhenItsWindowBecomesActive) {
    if (!foundation::Reachability::isConnectedToNetwork())
        GTEST_SKIP() << "without a default route the app makes no request";
    server.setReply({503, "text/html", "Service unavailable"});
    std::map<std::string, std::string> environment = {{"OSTRELO_GROUP_DIR", groupDirectory().string()},
                                                      {"OSTRELO_WINDOW_SYSTEM", "offscreen"},
                                                      {"SDL_AUDIODRIVER", "dummy"},
                                                      {"OSTRELO_RATES_URL", server.url()},
                                                      {"LANG", "en_US.UTF-8"}};
    testsupport::AppProcess app(OSTRELO_PROGRAM, {}, environment);
    ASSERT_TRUE(app.waitForLine("the feed document is not well formed")) << app.text();
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_FALSE(store().contains("EUR_date"));
    server.setReply(xml(ratestest::realDocument()));
    // The failed download's check ends just after its line: an activation in between checks
    // nothing, so the app is brought forward until a check downloads.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(testsupport::AppProcess::ceiling);
    while (!store().contains("EUR_date") && std::chrono::steady_clock::now() < deadline) {
        testsupport::AppProcess second(OSTRELO_PROGRAM, {"ostrelo://"}, environment);
        ASSERT_EQ(second.waitForExit(), 0) << second.text();
        for (int polls = 0; polls < 100 && !store().contains("EUR_date"); ++polls) usleep(10000);
    }
    EXPECT_EQ(store().at("EUR_date"), PropertyListValue("2026-07-06"));
    EXPECT_GE(server.requestCount(), 2);
    app.kill(SIGTERM);
    EXPECT_TRUE(app.waitForExit());
}

TEST(ExchangeRateFeedUrl, IsTheBankFeedUnlessReplaced) {
    unsetenv(ExchangeRateFeed::feedUrlVariable);
    EXPECT_EQ(ExchangeRateFeed::feedUrl(), "https://www.ecb.europa.eu/stats/eurofxref/eurofxref-daily.xml");
    setenv(ExchangeRateFeed::feedUrlVariable, "http://127.0.0.1:1/x.xml", 1);
    EXPECT_EQ(ExchangeRateFeed::feedUrl(), "http://127.0.0.1:1/x.xml");
    unsetenv(ExchangeRateFeed::feedUrlVariable);
}

namespace {

// The child process of the kill test. It stores two documents in turn until it is killed and
// reports on a pipe: "s" when it starts storing, "." after each finished store.
class StoringChild {
public:
    using Clock = std::chrono::steady_clock;

    StoringChild() = default;
    StoringChild(const StoringChild&) = delete;
    StoringChild& operator=(const StoringChild&) = delete;
    ~StoringChild() {
        if (running_) kill();
        if (output_ >= 0) close(output_);
    }

    // Starts the child and waits until it says it is storing.
    bool start(const std::string& firstPath, const std::string& secondPath) {
        const std::string self = RATES_STORE_CHILD;
        char* const arguments[] = {const_cast<char*>(self.c_str()), const_cast<char*>(firstPath.c_str()),
                                   const_cast<char*>(secondPath.c_str()), nullptr};
        int reports[2];
        if (pipe(reports) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, reports[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, reports[0]);
        const int spawned = posix_spawn(&pid_, self.c_str(), &actions, nullptr, arguments, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(reports[1]);
        output_ = reports[0];
        running_ = spawned == 0;
        return running_ && readEvent() == 's';
    }

    // Waits for the next finished store; gives the time since the previous report.
    std::optional<Clock::duration> awaitStore() {
        const Clock::time_point previous = lastEvent_;
        if (readEvent() != '.') return std::nullopt;
        ++stores_;
        return lastEvent_ - previous;
    }

    // Waits for the next finished store or until `limit` has passed, whichever comes first.
    void awaitStoreFor(Clock::duration limit) {
        const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(limit).count();
        const timespec timeout{static_cast<time_t>(nanoseconds / 1000000000), static_cast<long>(nanoseconds % 1000000000)};
        pollfd readable{output_, POLLIN, 0};
        if (ppoll(&readable, 1, &timeout, nullptr) == 1) awaitStore();
    }

    // Kills the child and gives the number of stores it reported in all (-1 if it did not
    // die of the kill).
    int kill() {
        running_ = false;
        if (::kill(pid_, SIGKILL) != 0) return -1;
        int status = 0;
        if (waitpid(pid_, &status, 0) != pid_ || !WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) return -1;
        while (awaitStore()) {
        }
        return stores_;
    }

private:
    // The next report, or 0 at the end of the child's output.
    char readEvent() {
        char event = 0;
        if (read(output_, &event, 1) != 1) return 0;
        lastEvent_ = Clock::now();
        return event;
    }

    pid_t pid_ = 0;
    int output_ = -1;
    bool running_ = false;
    int stores_ = 0;
    Clock::time_point lastEvent_;
};

}  // namespace

TEST_F(FeedTest, AStoreKilledHalfwayLeavesTheEarlierRatesOrAllTheNewOnes) {
    // The two documents the child process stores in turn, and the stores each leaves.
    const std::string first = ratestest::realDocument();
    ratestest::CurrencyRates changed = ratestest::realRates();
    for (auto& [code, rate] : changed) rate *= 1.01;
    const std::string second = ratestest::feedDocument("2026-07-07", changed);
    const Store empty;
    const Store afterFirst = ratestest::expectedKeys("2026-07-06", ratestest::realRates());
    const Store afterSecond = ratestest::expectedKeys("2026-07-07", changed);

    const auto directory = groupDirectory();
    const std::string firstPath = (directory / "first.xml").string();
    const std::string secondPath = (directory / "second.xml").string();
    std::ofstream(firstPath, std::ios::binary) << first;
    std::ofstream(secondPath, std::ios::binary) << second;

    std::minstd_rand random(18);
    std::uniform_real_distribution<double> fraction(0.0, 1.0);
    StoringChild::Clock::duration storesTook{};  // the time of the stores waited for, to scale the kill points
    int storesWaited = 0;
    int finished = 0, interrupted = 0;
    for (int round = 0; round < 6 || ((finished == 0 || interrupted == 0) && round < 60); ++round) {
        // The round's first store changes the store, so a finished store and the one it
        // followed always differ.
        const Store before = store();
        const bool firstIsThere = before == afterFirst;
        const Store* const leaves[2] = {firstIsThere ? &afterSecond : &afterFirst, firstIsThere ? &afterFirst : &afterSecond};
        const auto afterStores = [&](int stores) -> const Store& { return stores == 0 ? before : *leaves[(stores - 1) % 2]; };

        // The kill falls before the first finished store, between the first two, or between the
        // second and the third: after a random part of one store's time, or at the next report.
        StoringChild child;
        ASSERT_TRUE(child.start(firstIsThere ? secondPath : firstPath, firstIsThere ? firstPath : secondPath));
        for (int waited = 0; waited < (round + 1) % 3; ++waited) {
            const auto took = child.awaitStore();
            ASSERT_TRUE(took) << "round " << round;
            storesTook += *took;
            ++storesWaited;
        }
        child.awaitStoreFor(std::chrono::duration_cast<StoringChild::Clock::duration>(storesTook * fraction(random) / storesWaited));
        const int reported = child.kill();
        ASSERT_GE(reported, 0) << "round " << round;

        const Store now = store();
        const bool whole = now == empty || now == afterFirst || now == afterSecond;
        EXPECT_TRUE(whole) << "round " << round << ": " << now.size() << " keys\n"
                           << ratestest::difference(now.count("EUR_date") && now.at("EUR_date") == PropertyListValue("2026-07-07")
                                                        ? afterSecond
                                                        : afterFirst,
                                                    now);
        // Each reported store is there; the store in flight is there whole or not at all.
        const bool inFlightLost = now == afterStores(reported);
        EXPECT_TRUE(inFlightLost || now == afterStores(reported + 1)) << "round " << round << ", " << reported << " stores";
        interrupted += inFlightLost;
        finished += reported > 0 || !inFlightLost;
    }
    EXPECT_GT(finished, 0);
    EXPECT_GT(interrupted, 0);
}

// A rate outside 1e-6 ... 1e9 per euro is no currency's: its record stores nothing, and the
// currency keeps every key it had, so that no currency ends with only some of its rates. The
// others, the limits themselves among them, are stored whole.
TEST_F(FeedTest, RatesBeyondTheLimitsKeepTheirCurrencysEarlierKeys) {
    const Store before = seed();
    testing::internal::CaptureStderr();
    const Store after = download(xml(ratestest::feedDocument(
        "2026-07-08", {{"USD", 1e-6}, {"JPY", 2000000000.0}, {"GBP", 0.0000009}, {"XAU", 0.000000001}, {"CHF", 1e9}})));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ratestest::difference(
                  ratestest::merged(before, ratestest::expectedKeys("2026-07-08", {{"USD", 1e-6}, {"CHF", 1e9}})), after),
              "");
    for (const char* code : {"JPY", "GBP", "XAU"}) EXPECT_NE(log.find(code), std::string::npos) << log;
}

TEST_F(FeedTest, RecordsAreWrittenInDocumentOrderSoLaterKeysWin) {
    // A repeated code is a record like any other; the keys it shares with others end with
    // the value written last. A record of "EUR" itself is no rate against the euro: skipped.
    const Store before = seed();
    const ratestest::CurrencyRates rates = {{"USD", 1.1}, {"EUR", 2.0}, {"JPY", 160.0}, {"USD", 1.2}};
    const Store after = download(xml(ratestest::feedDocument("2026-07-08", rates)));
    const ratestest::CurrencyRates withoutEuro = {{"USD", 1.1}, {"JPY", 160.0}, {"USD", 1.2}};
    EXPECT_EQ(ratestest::difference(ratestest::merged(before, ratestest::expectedKeys("2026-07-08", withoutEuro)), after),
              "");
    EXPECT_EQ(after.at("EUREUR"), PropertyListValue(1.0));
    EXPECT_EQ(after.at("EURUSD"), PropertyListValue(1.2));
    EXPECT_EQ(after.at("USDEUR"), PropertyListValue(0.8333));   // 1 / 1.2, the last USD record's
    EXPECT_EQ(after.at("JPYEUR"), PropertyListValue(0.0063));   // 1 / 160
    EXPECT_EQ(after.at("EURJPY"), PropertyListValue(160.0));
    EXPECT_EQ(after.at("USDJPY"), PropertyListValue(133.3333));
    EXPECT_EQ(after.at("EUR_date"), PropertyListValue("2026-07-08"));
}

// The store's work grows with the square of the codes and with the length of the date, and
// holds the store's write lock meanwhile: a feed beyond the limits is refused whole.
TEST_F(FeedTest, FeedsBeyondTheLimitsStoreNothing) {
    const Store before = seed();
    const std::vector<std::string> refused = {
        ratestest::feedDocument("2026-07-08", ratestest::manyRates(65)),
        ratestest::feedDocument("2026-07-08", ratestest::manyRates(3000)),
        ratestest::feedDocument(std::string(100000, '2'), ratestest::manyRates(2)),
        ratestest::feedDocument("2026-7-8", {{"USD", 1.1}}),
        ratestest::feedDocument("2026-13-08", {{"USD", 1.1}}),
        ratestest::feedDocument("2026-02-30", {{"USD", 1.1}}),
        ratestest::feedDocument("08.07.2026", {{"USD", 1.1}}),
        "<r><Cube><Cube currency='USD' rate='1.1'/></Cube></r>",  // no date at all
        // Before the first rates, or more than a day after today (the clock is pinned below).
        ratestest::feedDocument("0000-01-01", {{"USD", 1.1}}),
        ratestest::feedDocument("1999-01-03", {{"USD", 1.1}}),
        ratestest::feedDocument("2026-07-10", {{"USD", 1.1}}),
        ratestest::feedDocument("9999-12-31", {{"USD", 1.1}}),
    };
    setenv("TZ", "UTC", 1);
    tzset();
    foundation::Clock::pinAt(std::chrono::system_clock::time_point(std::chrono::seconds(1783468800)));  // 2026-07-08
    ASSERT_EQ(ExchangeRateFeed::tomorrowText(), "2026-07-09");
    for (const std::string& document : refused) {
        testing::internal::CaptureStderr();
        const Store after = download(xml(document));
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(after == before) << ratestest::difference(before, after).substr(0, 300) << document.substr(0, 300);
        EXPECT_NE(log.find("exchange rates"), std::string::npos) << document.substr(0, 300);
    }

    // 64 codes are stored, of tomorrow and of the first day.
    const auto sixtyFour = ratestest::manyRates(64);
    const Store after = download(xml(ratestest::feedDocument("2026-07-09", sixtyFour)));
    EXPECT_EQ(ratestest::difference(ratestest::merged(before, ratestest::expectedKeys("2026-07-09", sixtyFour)), after),
              "");
    const Store first = download(xml(ratestest::feedDocument("1999-01-04", {{"USD", 1.1789}})));
    foundation::Clock::replaceSource({});
    unsetenv("TZ");
    tzset();
    EXPECT_EQ(first.at("EUR_date"), PropertyListValue("1999-01-04"));
}

// Keys pressed while the real document is stored, again and again on another thread, wait
// for the store's write lock no longer than a key may, and lose no write: a key that finds the
// lock taken leaves its calculation unsaved, and a later key writes it whole. (Back-to-back
// stores leave the lock free for moments only; the stores end after a while.)
TEST_F(FeedTest, KeysPressedWhileTheRealFeedIsStoredKeepTheirWrites) {
    const auto document = ratestest::bytes(ratestest::realDocument());
    std::atomic<bool> done{false};
    std::atomic<int> stores{0};
    std::thread feed([&] {
        while (!done && stores < 200) {
            ExchangeRateFeed::storeRates(document, {}, std::nullopt);
            ++stores;
        }
    });
    while (stores == 0) std::this_thread::yield();  // the feed's transactions are under way

    ostrelo::Calculator calculator;
    for (int i = 0; i < 15; ++i) {
        calculator.enterDigit(std::to_string(i % 9 + 1));
        calculator.inputOperator(i % 2 == 0 ? "+" : "×");
        EXPECT_LE(calculator.lastStoreWait(), ostrelo::Calculator::storeWait);
        EXPECT_TRUE(calculator.unsaved() || calculator.ostrelo().items == ostrelo::CalculatorStack().items) << i;
    }
    done = true;
    feed.join();
    calculator.clearEntry();
    EXPECT_FALSE(calculator.unsaved());
    EXPECT_EQ(calculator.ostrelo().items, ostrelo::CalculatorStack().items);
    EXPECT_EQ(calculator.ostrelo().items.size(), 29u);
    EXPECT_GT(stores, 1);
    EXPECT_EQ(store().at("EURUSD"), PropertyListValue(1.1415));
}

TEST_F(FeedTest, ADerivedRateTooLargeToScaleIsWrittenWhole) {
    // Only the scaling by 10000 for the four places would overflow.
    EXPECT_EQ(ExchangeRateFeed::roundedRate(1.7e308), 1.7e308);
    EXPECT_EQ(ExchangeRateFeed::roundedRate(-1.7e308), -1.7e308);
}
