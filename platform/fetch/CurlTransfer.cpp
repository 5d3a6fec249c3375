#include "platform/fetch/CurlTransfer.h"

#include <curl/curl.h>

#include <memory>
#include <optional>

namespace fetch {

namespace {

using foundation::TransferReply;
using foundation::UrlError;

constexpr long maximumRedirects = 5;

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct PartDeleter {
    void operator()(char* part) const { curl_free(part); }
};

std::optional<std::string> urlPart(CURLU* url, CURLUPart which) {
    char* raw = nullptr;
    if (curl_url_get(url, which, &raw, 0) != CURLUE_OK || raw == nullptr) return std::nullopt;
    std::unique_ptr<char, PartDeleter> part(raw);
    return std::string(part.get());
}

bool isLoopbackHost(const std::string& host) {
    return host == "127.0.0.1" || host == "localhost" || host == "[::1]";
}

struct Transfer {
    const std::string& url;
    const CurlTransfer::Limits& limits;
    std::unique_ptr<CURL, EasyDeleter> easy;
    std::vector<std::uint8_t> body;
    bool overCap = false;
    bool loopback = false;
    char errorBuffer[CURL_ERROR_SIZE] = {};
};

std::size_t writeBody(char* data, std::size_t size, std::size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    const std::size_t length = size * count;
    if (transfer->body.size() + length > transfer->limits.maximumBodySize) {
        transfer->overCap = true;
        return 0;  // ends the transfer with a write error
    }
    transfer->body.insert(transfer->body.end(), data, data + length);
    return length;
}

UrlError::Code kindOf(CURLcode code) {
    switch (code) {
    case CURLE_URL_MALFORMAT: return UrlError::Code::badUrl;
    // also a redirect to anything but https
    case CURLE_UNSUPPORTED_PROTOCOL: return UrlError::Code::insecureConnection;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING: return UrlError::Code::cannotConnect;
    case CURLE_OPERATION_TIMEDOUT: return UrlError::Code::timedOut;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR: return UrlError::Code::secureConnectionFailed;
    case CURLE_TOO_MANY_REDIRECTS: return UrlError::Code::tooManyRedirects;
    case CURLE_FILESIZE_EXCEEDED: return UrlError::Code::bodyTooLarge;
    default: return UrlError::Code::other;
    }
}

UrlError errorFor(CURLcode code, const Transfer& transfer) {
    if (transfer.overCap)
        return UrlError{UrlError::Code::bodyTooLarge,
                        "the body is larger than " + std::to_string(transfer.limits.maximumBodySize) + " bytes"};
    return UrlError{kindOf(code), transfer.errorBuffer[0] ? std::string(transfer.errorBuffer)
                                                         : std::string(curl_easy_strerror(code))};
}

// Checks the URL and sets the transfer up; an error when the request is refused outright.
std::optional<UrlError> prepare(Transfer& transfer) {
    const std::string& url = transfer.url;
    std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK)
        return UrlError{UrlError::Code::badUrl, "not a URL: " + url};
    const auto scheme = urlPart(parsed.get(), CURLUPART_SCHEME);
    if (!scheme) return UrlError{UrlError::Code::badUrl, "not a URL: " + url};
    const auto host = urlPart(parsed.get(), CURLUPART_HOST);
    transfer.loopback = host && isLoopbackHost(*host);
    if (*scheme != "https" && !(*scheme == "http" && transfer.loopback))
        return UrlError{UrlError::Code::insecureConnection, "refused to load a URL that is not https: " + url};
    if (!host || host->empty()) return UrlError{UrlError::Code::badUrl, "a URL without a host: " + url};
    transfer.easy.reset(curl_easy_init());
    if (!transfer.easy) return UrlError{UrlError::Code::other, "a transfer could not be created"};
    CURL* easy = transfer.easy.get();
    const CurlTransfer::Limits& limits = transfer.limits;
    bool ok = true;
    auto set = [&ok](CURLcode code) { ok = ok && code == CURLE_OK; };
    set(curl_easy_setopt(easy, CURLOPT_URL, url.c_str()));
    set(curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, transfer.loopback ? "http,https" : "https"));
    set(curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "https"));
    set(curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L));
    set(curl_easy_setopt(easy, CURLOPT_MAXREDIRS, maximumRedirects));
    set(curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L));
    set(curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L));
    set(curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeout.count())));
    set(curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.timeout.count())));
    set(curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maximumBodySize)));
    set(curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L));
    set(curl_easy_setopt(easy, CURLOPT_USERAGENT, "Ostrelo"));
    if (transfer.loopback) set(curl_easy_setopt(easy, CURLOPT_NOPROXY, "*"));
    set(curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, writeBody));
    set(curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer));
    set(curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer.errorBuffer));
    if (!ok) return UrlError{UrlError::Code::other, "the transfer could not be configured"};
    return std::nullopt;
}

}  // namespace

TransferReply CurlTransfer::get(const std::string& url, const Limits& limits) {
    TransferReply reply;
    reply.response.url = url;
    Transfer transfer{url, limits, {}, {}, false, false, {}};
    if (auto refused = prepare(transfer)) {
        reply.error = std::move(refused);
        return reply;
    }
    CURL* easy = transfer.easy.get();
    const CURLcode result = curl_easy_perform(easy);
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &reply.response.statusCode);
    char* effective = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective != nullptr)
        reply.response.url = effective;
    if (result != CURLE_OK || transfer.overCap) reply.error = errorFor(result, transfer);
    else reply.body = std::move(transfer.body);
    return reply;
}

}  // namespace fetch
