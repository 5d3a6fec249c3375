#pragma once

#include <string>

namespace foundation {

// What the server answered, as far as the transfer got: the HTTP status of the last
// response (0 when none arrived) and the URL it came from after redirects.
struct UrlResponse {
    long statusCode = 0;
    std::string url;
};

}  // namespace foundation
