#pragma once

#include <atomic>
#include <thread>

namespace ratestest {

// A TLS server on 127.0.0.1 with a freshly made self-signed certificate: a client that
// verifies certificates must refuse it. It answers "<a/>" to whoever completes a handshake.
class LocalTlsServer {
public:
    LocalTlsServer();
    ~LocalTlsServer();
    LocalTlsServer(const LocalTlsServer&) = delete;
    LocalTlsServer& operator=(const LocalTlsServer&) = delete;

    int port() const { return port_; }
    int connections() const { return connections_.load(); }
    int handshakes() const { return handshakes_.load(); }

private:
    void acceptLoop();

    int listener_ = -1;
    int port_ = 0;
    std::atomic<int> connections_{0};
    std::atomic<int> handshakes_{0};
    std::atomic<bool> stopping_{false};
    void* context_ = nullptr;  // SSL_CTX
    std::thread acceptor_;
};

}  // namespace ratestest
