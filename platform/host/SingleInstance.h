#pragma once

#include "platform/host/FileDescriptor.h"

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace host {

// One running instance of a program per user. The first start listens on a Unix socket (mode
// 0600) in the group directory; a later start hands its request (one line of text) over, waits
// for the acknowledgement and ends. Starts decide one at a time (a lock file beside the
// socket), so simultaneous starts leave exactly one instance; a socket nobody listens on is
// replaced. Requests are read on a thread of their own, at most maximumRequestLength bytes,
// and handed to the main run loop; each is acknowledged once its handler ran.
class SingleInstance {
public:
    static constexpr std::size_t maximumRequestLength = 1024;

    enum class Role {
        running,     // this start is the running instance
        handedOver,  // the running instance acknowledged the request
        failed,      // an instance runs but did not take the request
        alone,       // none answers, but this start cannot take requests either (no socket)
    };
    struct Claim {
        Role role = Role::failed;
        // The running instance (role running).
        std::unique_ptr<SingleInstance> instance;
        // What went wrong (roles failed and alone).
        std::string error;
    };

    // Becomes the running instance of `name` in `directory`, or hands `request` to the running
    // one and waits up to `timeout` seconds for its acknowledgement.
    static Claim claim(const std::filesystem::path& directory, const std::string& name, const std::string& request,
                       double timeout = 2.0);

    // Hands `request` to the running instance of `name` in `directory`, if one runs, without ever
    // becoming the instance. True once it acknowledged; false with the reason otherwise.
    static bool deliver(const std::filesystem::path& directory, const std::string& name, const std::string& request,
                        std::string& error, double timeout = 2.0);

    // Starts taking requests: each reaches `handler` on the main run loop. Requests sent
    // before wait until then.
    void serve(std::function<void(const std::string& request)> handler);
    // Stops taking requests and removes the socket.
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

private:
    struct Handler;
    SingleInstance(FileDescriptor directory, FileDescriptor lock, FileDescriptor listener, std::string socketName);
    void receive(const std::weak_ptr<Handler>& handler);

    FileDescriptor directory_;
    FileDescriptor lock_;
    FileDescriptor listener_;
    FileDescriptor stopRead_;
    FileDescriptor stopWrite_;
    std::string socketName_;
    dev_t socketDevice_ = 0;
    ino_t socketInode_ = 0;
    std::shared_ptr<Handler> handler_;
    std::thread receiver_;
};

}  // namespace host
