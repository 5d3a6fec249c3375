#include "tests/rates/LocalHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace ratestest {

namespace {

int loopbackSocket(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        throw std::runtime_error("bind failed");
    }
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

bool sendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::string reasonPhrase(int status) {
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

}  // namespace

LocalHttpServer::LocalHttpServer() {
    listener_ = loopbackSocket(port_);
    if (::listen(listener_, 16) != 0) throw std::runtime_error("listen failed");
    acceptor_ = std::thread([this] { acceptLoop(); });
}

LocalHttpServer::~LocalHttpServer() {
    stopping_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    {
        std::lock_guard lock(mutex_);
        for (int connection : connections_) ::shutdown(connection, SHUT_RDWR);
    }
    stopped_.notify_all();
    acceptor_.join();
    for (auto& worker : workers_) worker.join();
    ::close(listener_);
}

void LocalHttpServer::setReply(Reply reply) {
    std::lock_guard lock(mutex_);
    reply_ = std::move(reply);
}

std::string LocalHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LocalHttpServer::requestLines() const {
    std::lock_guard lock(mutex_);
    return requestLines_;
}

int LocalHttpServer::refusedPort() {
    int port = 0;
    const int fd = loopbackSocket(port);  // bound, never listening: connections are refused
    ::close(fd);
    return port;
}

void LocalHttpServer::acceptLoop() {
    while (!stopping_) {
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            if (errno == EINTR) continue;
            return;
        }
        std::lock_guard lock(mutex_);
        if (stopping_) {
            ::close(connection);
            return;
        }
        connections_.push_back(connection);
        workers_.emplace_back([this, connection] { serve(connection); });
    }
}

void LocalHttpServer::serve(int connection) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    if (request.find("\r\n\r\n") == std::string::npos) {
        finish(connection);
        return;
    }
    Reply reply;
    {
        std::lock_guard lock(mutex_);
        requestLines_.push_back(request.substr(0, request.find("\r\n")));
        reply = reply_;
    }
    ++requests_;
    if (reply.neverAnswer) {
        std::unique_lock lock(mutex_);
        stopped_.wait(lock, [this] { return stopping_.load(); });
        lock.unlock();
        finish(connection);
        return;
    }
    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + reasonPhrase(reply.status) + "\r\n";
    head += "Content-Type: " + reply.contentType + "\r\n";
    if (reply.sendContentLength) head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    if (!reply.location.empty()) head += "Location: " + reply.location + "\r\n";
    head += "Connection: close\r\n\r\n";
    if (sendAll(connection, head)) sendAll(connection, reply.body);
    ::shutdown(connection, SHUT_WR);
    while (::recv(connection, buffer, sizeof buffer, 0) > 0) {
    }
    finish(connection);
}

void LocalHttpServer::finish(int connection) {
    std::lock_guard lock(mutex_);
    std::erase(connections_, connection);
    ::close(connection);
}

}  // namespace ratestest
