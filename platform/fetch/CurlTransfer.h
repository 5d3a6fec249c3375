#pragma once

#include "platform/foundation/TransferReply.h"

#include <chrono>
#include <cstddef>
#include <string>

namespace fetch {

// One HTTPS GET with libcurl, run to its end on the calling thread. Certificates are verified; at
// most five redirects are followed and only to https; plain http is allowed only to 127.0.0.1,
// localhost and ::1. Any failure (bad URL, connection, time-out, TLS, redirects, size cap) is an
// error with no body; the HTTP status is reported, never judged.
class CurlTransfer {
public:
    struct Limits {
        std::chrono::milliseconds connectTimeout;
        std::chrono::milliseconds timeout;  // the whole request, redirects included
        std::size_t maximumBodySize;
    };

    static foundation::TransferReply get(const std::string& url, const Limits& limits);
};

}  // namespace fetch
