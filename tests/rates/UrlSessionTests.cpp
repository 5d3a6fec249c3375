#include "platform/foundation/TransferReply.h"
#include "platform/foundation/UrlSession.h"
#include "tests/rates/LocalHttpServer.h"
#include "tests/rates/LocalTlsServer.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

using foundation::TransferReply;
using foundation::UrlError;
using foundation::UrlResponse;
using foundation::UrlSession;
using namespace std::chrono_literals;
using testsupport::contentOf;

namespace {

struct Outcome {
    int calls = 0;
    std::optional<std::vector<std::uint8_t>> data;
    UrlResponse response;
    std::optional<UrlError> error;
    std::thread::id thread;
};

UrlSession::Configuration quick() {
    UrlSession::Configuration configuration;
    configuration.connectTimeout = 1000ms;
    configuration.timeout = 1500ms;
    configuration.maximumBodySize = 100 * 1024;
    return configuration;
}

// Guards the outcomes that completions fill in, and announces each completion.
struct Completions {
    std::mutex mutex;
    std::condition_variable arrived;
};

// Starts a request and keeps what its completion receives.
void start(UrlSession& session, const std::string& url, Outcome& outcome, Completions& completions) {
    session.dataTask(url, [&outcome, &completions](std::optional<std::vector<std::uint8_t>> data,
                                                   const UrlResponse& response, std::optional<UrlError> error) {
        {
            std::lock_guard lock(completions.mutex);
            ++outcome.calls;
            outcome.data = std::move(data);
            outcome.response = response;
            outcome.error = std::move(error);
            outcome.thread = std::this_thread::get_id();
        }
        completions.arrived.notify_all();
    });
}

Outcome fetch(UrlSession& session, const std::string& url) {
    Outcome outcome;
    Completions completions;
    start(session, url, outcome, completions);
    session.waitUntilIdle();
    std::lock_guard lock(completions.mutex);
    return outcome;
}

std::string text(const std::optional<std::vector<std::uint8_t>>& data) {
    return data ? std::string(data->begin(), data->end()) : std::string("(none)");
}

// The processes this one started that are still there (not reaped), from every thread.
std::string children() {
    std::string found;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
        found += contentOf(task.path() / "children");
    return found;
}

}  // namespace

TEST(UrlSession, DeliversTheBodyAndStatusOnceOnTheSessionThread) {
    ratestest::LocalHttpServer server;
    UrlSession session(quick());
    server.setReply({200, "text/xml", "<a/>"});
    const Outcome ok = fetch(session, server.url());
    EXPECT_EQ(ok.calls, 1);
    EXPECT_FALSE(ok.error);
    EXPECT_EQ(text(ok.data), "<a/>");
    EXPECT_EQ(ok.response.statusCode, 200);
    EXPECT_NE(ok.thread, std::this_thread::get_id());
    EXPECT_EQ(server.requestLines(), std::vector<std::string>{"GET /stats/eurofxref/eurofxref-daily.xml HTTP/1.1"});
    // The transfer ran in the download helper, which has ended: libcurl never came in here.
    EXPECT_EQ(contentOf("/proc/self/maps").find("libcurl"), std::string::npos);
    EXPECT_EQ(children(), "");

    // An HTTP error status is reported, not judged; an empty body is present data.
    server.setReply({404, "text/html", "<html>gone</html>"});
    const Outcome missing = fetch(session, server.url());
    EXPECT_FALSE(missing.error);
    EXPECT_EQ(missing.response.statusCode, 404);
    EXPECT_EQ(text(missing.data), "<html>gone</html>");
    server.setReply({200, "text/xml", ""});
    const Outcome empty = fetch(session, server.url());
    EXPECT_FALSE(empty.error);
    ASSERT_TRUE(empty.data);
    EXPECT_TRUE(empty.data->empty());
}

TEST(UrlSession, EveryFailureReachesTheCompletionAsAnErrorWithoutData) {
    ratestest::LocalHttpServer server;
    UrlSession session(quick());

    const Outcome refused = fetch(session, "http://127.0.0.1:" + std::to_string(ratestest::LocalHttpServer::refusedPort()) + "/");
    EXPECT_EQ(refused.calls, 1);
    ASSERT_TRUE(refused.error);
    EXPECT_EQ(refused.error->code, UrlError::Code::cannotConnect);
    EXPECT_FALSE(refused.data);

    const Outcome bad = fetch(session, "not a url");
    ASSERT_TRUE(bad.error);
    EXPECT_EQ(bad.error->code, UrlError::Code::badUrl);
    EXPECT_FALSE(bad.data);

    // Plain http goes to the loopback host only, and nothing but http(s) at all.
    for (const char* url : {"http://example.invalid/feed.xml", "http://10.0.0.1/", "ftp://127.0.0.1/x",
                            "file:///etc/passwd"}) {
        const Outcome insecure = fetch(session, url);
        ASSERT_TRUE(insecure.error) << url;
        EXPECT_EQ(insecure.error->code, UrlError::Code::insecureConnection) << url;
        EXPECT_FALSE(insecure.data);
    }

    // A redirect away from https is not followed, not even to the loopback host.
    server.setReply({302, "text/html", "", true, false, server.url("/elsewhere")});
    const Outcome redirected = fetch(session, server.url());
    ASSERT_TRUE(redirected.error);
    EXPECT_EQ(redirected.error->code, UrlError::Code::insecureConnection);
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_FALSE(redirected.data);
}

TEST(UrlSession, BodiesOverTheCapAreRefusedWithOrWithoutALength) {
    ratestest::LocalHttpServer server;
    UrlSession session(quick());
    const std::string atCap(100 * 1024, 'x');
    const std::string overCap(100 * 1024 + 1, 'x');
    for (bool length : {true, false}) {
        server.setReply({200, "text/xml", atCap, length});
        const Outcome fits = fetch(session, server.url());
        EXPECT_FALSE(fits.error) << length;
        EXPECT_EQ(fits.data ? fits.data->size() : 0u, atCap.size());

        server.setReply({200, "text/xml", overCap, length});
        const Outcome big = fetch(session, server.url());
        EXPECT_EQ(big.calls, 1);
        ASSERT_TRUE(big.error) << length;
        EXPECT_EQ(big.error->code, UrlError::Code::bodyTooLarge);
        EXPECT_FALSE(big.data);
    }
}

TEST(UrlSession, AServerThatNeverAnswersTimesOut) {
    ratestest::LocalHttpServer server;
    UrlSession session(quick());
    server.setReply({200, "text/xml", "", true, true});
    const auto started = std::chrono::steady_clock::now();
    const Outcome silent = fetch(session, server.url());
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(silent.calls, 1);
    ASSERT_TRUE(silent.error);
    EXPECT_EQ(silent.error->code, UrlError::Code::timedOut);
    EXPECT_FALSE(silent.data);
    EXPECT_GE(took, 1400ms);
    EXPECT_LT(took, 10s);
}

TEST(UrlSession, RequestsRunSideBySideAndAShutDownCancelsWhatIsLeftOnce) {
    ratestest::LocalHttpServer silentServer;
    silentServer.setReply({200, "text/xml", "", true, true});
    ratestest::LocalHttpServer server;
    server.setReply({200, "text/xml", "<a/>"});
    Outcome slow, quickOne;
    Completions completions;
    {
        UrlSession::Configuration patient = quick();
        patient.timeout = 60s;
        UrlSession session(patient);
        start(session, silentServer.url(), slow, completions);
        start(session, server.url(), quickOne, completions);
        // The second request ends while the first still waits (the wait's limit is far below the
        // requests' timeout).
        std::unique_lock lock(completions.mutex);
        ASSERT_TRUE(completions.arrived.wait_for(lock, 30s, [&] { return quickOne.calls > 0; }));
        EXPECT_EQ(quickOne.calls, 1);
        EXPECT_EQ(slow.calls, 0);
    }
    EXPECT_EQ(quickOne.calls, 1);
    EXPECT_EQ(text(quickOne.data), "<a/>");
    EXPECT_EQ(slow.calls, 1);
    ASSERT_TRUE(slow.error);
    EXPECT_EQ(slow.error->code, UrlError::Code::cancelled);
}

TEST(UrlSession, HeldRequestsStartWhenReleasedAndAnEndingSessionCancelsThemAtOnce) {
    ratestest::LocalHttpServer server;
    server.setReply({200, "text/xml", "<a/>"});
    Outcome dropped, held;
    Completions completions;
    UrlSession::holdTransfers();
    {
        UrlSession session(quick());
        start(session, server.url(), dropped, completions);
    }
    EXPECT_EQ(dropped.calls, 1);
    ASSERT_TRUE(dropped.error);
    EXPECT_EQ(dropped.error->code, UrlError::Code::cancelled);
    UrlSession session(quick());
    start(session, server.url(), held, completions);
    UrlSession::releaseTransfers();
    session.waitUntilIdle();
    EXPECT_EQ(held.calls, 1);
    EXPECT_EQ(text(held.data), "<a/>");
    EXPECT_EQ(server.requestLines().size(), 1u);
}

TEST(UrlSession, CertificatesAreVerified) {
    ratestest::LocalTlsServer server;
    UrlSession session(quick());
    const Outcome untrusted = fetch(session, "https://127.0.0.1:" + std::to_string(server.port()) + "/");
    EXPECT_EQ(untrusted.calls, 1);
    ASSERT_TRUE(untrusted.error);
    EXPECT_EQ(untrusted.error->code, UrlError::Code::secureConnectionFailed) << untrusted.error->description;
    EXPECT_FALSE(untrusted.data);
    EXPECT_EQ(server.connections(), 1);  // it got as far as the server, and no further
    EXPECT_EQ(server.handshakes(), 0);
}

TEST(UrlSession, ARedirectToHttpsIsFollowedAndVerifiedThere) {
    ratestest::LocalTlsServer tls;
    ratestest::LocalHttpServer server;
    UrlSession session(quick());
    server.setReply({301, "text/html", "", true, false, "https://127.0.0.1:" + std::to_string(tls.port()) + "/"});
    const Outcome moved = fetch(session, server.url());
    EXPECT_EQ(moved.calls, 1);
    ASSERT_TRUE(moved.error);
    EXPECT_EQ(moved.error->code, UrlError::Code::secureConnectionFailed) << moved.error->description;
    EXPECT_FALSE(moved.data);
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_EQ(tls.connections(), 1);  // followed to the https server, which is not trusted
    EXPECT_EQ(tls.handshakes(), 0);
}

// The helper's answer on its pipe: what it encodes comes back whole, and an answer cut short or
// not of the helper's making is refused (the request then fails, rather than taking a part).
TEST(TransferReply, AnswersRoundTripAndPartialOrForeignOnesAreRefused) {
    TransferReply ok;
    ok.response = {200, "https://example.org/feed.xml"};
    ok.body = {'<', 'a', '/', '>', '\n', 0, 0xFF};
    TransferReply failed;
    failed.response = {0, "https://example.org/"};
    failed.error = UrlError{UrlError::Code::secureConnectionFailed, "certificate\nrejected"};
    for (const TransferReply& reply : {ok, failed, TransferReply{}}) {
        const auto back = TransferReply::decoded(reply.encoded());
        ASSERT_TRUE(back);
        EXPECT_EQ(back->response.statusCode, reply.response.statusCode);
        EXPECT_EQ(back->response.url, reply.response.url);
        EXPECT_EQ(back->body, reply.body);
        EXPECT_EQ(back->error.has_value(), reply.error.has_value());
        if (back->error) {
            EXPECT_EQ(back->error->code, reply.error->code);
        }
    }
    EXPECT_EQ(TransferReply::decoded(failed.encoded())->error->description, "certificate rejected");

    const std::string whole = ok.encoded();
    for (const std::string& refused :
         {std::string(), whole.substr(0, whole.size() - 1), whole + "x", std::string("-1 200\nu\n\n"),
          std::string("9 0 0\nu\nd\n"), std::string("-2 0 0\nu\n\n"), std::string("3 0 2\nu\nd\nab"),
          std::string("-1 200 0 7\nu\n\n"), std::string("<html>\n<body>\n</body>\n")})
        EXPECT_FALSE(TransferReply::decoded(refused)) << refused;
}
