#pragma once

#include <sys/types.h>

#include <string>

namespace testsupport {

// A private X server (Xvfb, 1280×1024 or the size given, at 24 bits, a black root window) for
// tests that need a real display; it names its display once it is ready, and ends with the object.
class XServer {
public:
    // Whether Xvfb is installed (scripts/install-deps installs it).
    static bool installed();

    explicit XServer(const std::string& size = "1280x1024");
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // ":N" for $DISPLAY; empty when the server did not come up (failure() says why).
    const std::string& display() const { return display_; }
    const std::string& failure() const { return failure_; }

private:
    pid_t pid_ = -1;
    std::string display_;
    std::string failure_;
};

}  // namespace testsupport
