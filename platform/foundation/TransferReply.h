#pragma once

#include "platform/foundation/UrlError.h"
#include "platform/foundation/UrlResponse.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace foundation {

// What the download helper (ostrelo-fetch) answers on its standard output for one request, and
// how it is written: a line "<error code or -1> <HTTP status> <body size>", a line with the URL the
// response came from, a line with the error's description, then the body's bytes.
struct TransferReply {
    UrlResponse response;
    std::optional<UrlError> error;  // with an error the body is empty
    std::vector<std::uint8_t> body;

    std::string encoded() const;
    // None when `text` is not one complete reply (a helper that ended part-way, or another program).
    static std::optional<TransferReply> decoded(std::string_view text);
};

}  // namespace foundation
