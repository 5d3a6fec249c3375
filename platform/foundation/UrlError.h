#pragma once

#include <string>

namespace foundation {

// Why a URL request produced no usable response.
struct UrlError {
    enum class Code {
        badUrl,              // the text is no URL the session can load
        insecureConnection,  // not https, or a redirect to anything but https (plain http is
                             // allowed to the loopback host only)
        cannotConnect,       // name not found, connection refused or reset
        timedOut,            // the connect or the total time-out passed
        secureConnectionFailed,  // TLS handshake or certificate verification failed
        tooManyRedirects,    // more than five redirects
        bodyTooLarge,        // the body passed the session's size cap
        cancelled,           // the session was shut down before the request ended
        other                // any other transfer failure
    };

    Code code = Code::other;
    std::string description;
};

}  // namespace foundation
