// ostrelo-fetch: the programs' download helper. It makes one GET and writes the outcome on its
// standard output (TransferReply), so that libcurl and the libraries under it are loaded for the
// length of a download only, and never in a program's own memory.
//   ostrelo-fetch URL CONNECT-TIMEOUT-MS TIMEOUT-MS MAXIMUM-BODY-BYTES [PARENT-PID]
// With PARENT-PID (the program that starts it), it ends at once when that program has already
// gone. Exit status 0 once the reply is written (whatever the download's outcome), 1 when it
// could not be written (or nobody is left to read it), 2 for wrong arguments.
#include "platform/fetch/CurlTransfer.h"

#include <curl/curl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <string_view>

namespace {

template <class Number>
bool parse(std::string_view text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    long connectMs = 0, timeoutMs = 0;
    std::size_t maximumBody = 0;
    pid_t parent = 0;
    if ((argc != 5 && argc != 6) || !parse(argv[2], connectMs) || !parse(argv[3], timeoutMs) ||
        !parse(argv[4], maximumBody) || connectMs <= 0 || timeoutMs <= 0 || (argc == 6 && !parse(argv[5], parent))) {
        std::fputs("usage: ostrelo-fetch URL CONNECT-TIMEOUT-MS TIMEOUT-MS MAXIMUM-BODY-BYTES [PARENT-PID]\n", stderr);
        return 2;
    }
    // A download nobody waits for any more ends with the thread that started it; a parent that
    // ended before this was asked for sends no signal, and is seen gone here.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (parent > 0 && ::getppid() != parent) return 1;
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        foundation::TransferReply reply;
        reply.response.url = argv[1];
        reply.error = foundation::UrlError{foundation::UrlError::Code::other, "libcurl cannot be initialised"};
        return writeAll(STDOUT_FILENO, reply.encoded()) ? 0 : 1;
    }
    const fetch::CurlTransfer::Limits limits{std::chrono::milliseconds(connectMs), std::chrono::milliseconds(timeoutMs),
                                             maximumBody};
    const foundation::TransferReply reply = fetch::CurlTransfer::get(argv[1], limits);
    curl_global_cleanup();
    return writeAll(STDOUT_FILENO, reply.encoded()) ? 0 : 1;
}
