// feed-server: a local HTTP server for the start-up benchmark's rate downloads. It listens on
// 127.0.0.1 (a free port), prints the port on the first line of its standard output, then answers
// every request, one at a time, with the file given (as text/xml) and prints the request's line.
// It runs until it is ended.
//   feed-server FILE
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// The request's first line, once the head has arrived; "" when the client gave up first.
std::string readHead(int connection) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        const ssize_t got = ::read(connection, buffer, sizeof buffer);
        if (got <= 0) return {};
        head.append(buffer, static_cast<std::size_t>(got));
    }
    return head.substr(0, head.find("\r\n"));
}

void writeAll(int connection, const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const ssize_t written = ::write(connection, text.data() + at, text.size() - at);
        if (written <= 0) return;
        at += static_cast<std::size_t>(written);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: feed-server FILE\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::string body{std::istreambuf_iterator<char>(file), {}};
    if (!file.good() && !file.eof()) {
        std::fprintf(stderr, "feed-server: cannot read %s\n", argv[1]);
        return 1;
    }
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 16) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("feed-server");
        return 1;
    }
    std::printf("%d\n", ntohs(address.sin_port));
    std::fflush(stdout);
    const std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " +
                              std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    for (;;) {
        const int connection = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        const std::string request = readHead(connection);
        if (!request.empty()) {
            writeAll(connection, reply);
            std::printf("%s\n", request.c_str());
            std::fflush(stdout);
        }
        ::close(connection);
    }
}
