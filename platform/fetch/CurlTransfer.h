#pragma once

#include "platform/foundation/TransferReply.h"
#include "platform/foundation/UrlSession.h"

#include <string>

namespace fetch {

// One HTTPS GET with libcurl, run to its end on the calling thread. Certificates are verified; at
// most five redirects are followed and only to https; plain http is allowed only to 127.0.0.1,
// localhost and ::1. Any failure (bad URL, connection, time-out, TLS, redirects, size cap) is an
// error with no body; the HTTP status is reported, never judged.
class CurlTransfer {
public:
    using Limits = foundation::UrlSession::Configuration;

    static foundation::TransferReply get(const std::string& url, const Limits& limits);
};

}  // namespace fetch
