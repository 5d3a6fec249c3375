#pragma once

#include "platform/foundation/UrlError.h"
#include "platform/foundation/UrlResponse.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace foundation {

// Asynchronous HTTPS GET requests. Each session runs its transfers on one background thread of
// its own; every completion runs there, one after another, exactly once per request. Each transfer
// is made by the download helper, ostrelo-fetch, in a process of its own (TransferProcess): libcurl
// and the libraries under it are loaded there for the length of the download and never in this
// process. Certificates are verified; at most five redirects are followed and only to https; plain
// http is allowed only to 127.0.0.1, localhost and ::1.
// Any failure (bad URL, connection, time-out, TLS, redirects, size cap, a helper that cannot start
// or gives no answer, shut-down) reaches the completion as an error with no data. The HTTP status
// is reported, never judged.
class UrlSession {
public:
    struct Configuration {
        std::chrono::milliseconds connectTimeout{15'000};
        std::chrono::milliseconds timeout{60'000};  // the whole request, redirects included
        std::size_t maximumBodySize = 4u << 20;
    };

    // data: the body (present, possibly empty, when there is no error); none with an error.
    using Completion = std::function<void(std::optional<std::vector<std::uint8_t>> data,
                                          const UrlResponse& response, std::optional<UrlError> error)>;

    // The process's shared session.
    static UrlSession& shared();

    // While held, requests wait to start (and their helpers with them): a window host holds them while
    // it makes its first frame. A session ending meanwhile cancels its waiting requests.
    static void holdTransfers();
    static void releaseTransfers();

    UrlSession();
    explicit UrlSession(Configuration configuration);
    // Ends what is still running (its completions get a cancelled error) and joins the thread.
    ~UrlSession();
    UrlSession(const UrlSession&) = delete;
    UrlSession& operator=(const UrlSession&) = delete;

    // Applies to requests started afterwards.
    void setConfiguration(const Configuration& configuration);
    Configuration configuration() const;

    // Starts a GET of the URL and returns at once.
    void dataTask(const std::string& url, Completion completion);

    // Blocks until every request started so far has run its completion (never call it
    // from a completion: that one has not finished yet).
    void waitUntilIdle();

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace foundation
