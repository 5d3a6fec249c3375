#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace ratestest {

// A small HTTP/1.1 server on 127.0.0.1 (a free port) for tests: every connection is served
// on its own thread with the reply set last; it counts the requests it received.
class LocalHttpServer {
public:
    struct Reply {
        Reply(int status = 200, std::string contentType = "text/xml", std::string body = "",
              bool sendContentLength = true, bool neverAnswer = false, std::string location = "")
            : status(status), contentType(std::move(contentType)), body(std::move(body)),
              sendContentLength(sendContentLength), neverAnswer(neverAnswer), location(std::move(location)) {}
        int status = 200;
        std::string contentType = "text/xml";
        std::string body;
        bool sendContentLength = true;  // false: the body ends when the connection closes
        bool neverAnswer = false;       // read the request, then keep silent until shut down
        std::string location;           // a Location header when not empty
    };

    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    void setReply(Reply reply);
    int port() const { return port_; }
    std::string url(const std::string& path = "/stats/eurofxref/eurofxref-daily.xml") const;
    int requestCount() const { return requests_.load(); }
    std::vector<std::string> requestLines() const;

    // A loopback port on which nothing listens (connections are refused).
    static int refusedPort();

private:
    void acceptLoop();
    void serve(int connection);
    void finish(int connection);

    int listener_ = -1;
    int port_ = 0;
    std::atomic<int> requests_{0};
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    Reply reply_;
    std::vector<std::string> requestLines_;
    std::vector<int> connections_;
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};

}  // namespace ratestest
