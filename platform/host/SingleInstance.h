#pragma once

#include "platform/foundation/FileDescriptor.h"

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace host {

// One running instance of a program per user. The first start listens on a Unix socket (mode
// 0600) in the group directory; a later start hands its request (one line of text) over, waits
// for the answer, which says whether the request was carried out, and ends. Starts decide one
// at a time (a lock file beside the socket, which must be the user's), so simultaneous starts
// leave exactly one instance; a socket nobody listens on is replaced. Each side checks the
// other's user: a start hands nothing to a socket another user serves, and the instance takes
// nothing from another user. Requests are read on a thread of their own, many connections at
// once, each within a time limit of its own and at most maximumRequestLength bytes, so that a
// silent or slow client delays nobody else; each is carried out on the main run loop and then
// answered.
class SingleInstance {
public:
    static constexpr std::size_t maximumRequestLength = 1024;

    // How long, in seconds, a start tries to reach the running instance (waiting for the start
    // lock, and trying again while the instance's queue of connections is full), and how long
    // it then waits for the answer.
    struct Patience {
        double reach;
        double answer;
    };
    static constexpr Patience usualPatience{2, 10};
    // Carries out a request on the main run loop: none when it was carried out, else the reason
    // why not (sent to the start that asked).
    using Handler = std::function<std::optional<std::string>(const std::string& request)>;
    // The answer to one request, given at most once (a request never answered is one its start
    // hears nothing of, and gives up on).
    class Reply {
    public:
        explicit Reply(std::shared_ptr<foundation::FileDescriptor> connection);
        // Whether the start still waits for the answer.
        bool waiting() const;
        // None: the request was carried out; else the reason why not.
        void operator()(const std::optional<std::string>& refusal) const;

    private:
        std::shared_ptr<foundation::FileDescriptor> connection_;
    };
    // Carries out a request on the main run loop and answers it then or later.
    using LaterHandler = std::function<void(const std::string& request, const Reply& reply)>;

    enum class Role {
        running,     // this start is the running instance
        handedOver,  // the running instance carried the request out
        failed,      // an instance runs but did not carry the request out, or cannot be trusted
        alone,       // none answers, but this start cannot take requests either (no socket)
    };
    struct Claim {
        Role role = Role::failed;
        // The running instance (role running).
        std::unique_ptr<SingleInstance> instance;
        // What went wrong, one line (roles failed and alone).
        std::string error;
    };

    // Becomes the running instance of `name` in `directory`, or hands `request` to the running
    // one and waits for its answer.
    static Claim claim(const std::filesystem::path& directory, const std::string& name, const std::string& request,
                       Patience patience = usualPatience);

    // Hands `request` to the running instance of `name` in `directory`, if one runs, without ever
    // becoming the instance. True once it was carried out; false with the reason otherwise.
    static bool deliver(const std::filesystem::path& directory, const std::string& name, const std::string& request,
                        std::string& error, Patience patience = usualPatience);

    // Starts taking requests: each reaches `handler` on the main run loop. Requests sent
    // before wait until then. A request whose start gave up waiting is not carried out.
    void serve(Handler handler);
    void serve(LaterHandler handler);
    // Stops taking requests and removes the socket.
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

private:
    SingleInstance(foundation::FileDescriptor directory, foundation::FileDescriptor lock,
                   foundation::FileDescriptor listener, std::string socketName);
    void receive(const std::weak_ptr<LaterHandler>& target);

    foundation::FileDescriptor directory_;
    foundation::FileDescriptor lock_;
    foundation::FileDescriptor listener_;
    foundation::FileDescriptor stopRead_;
    foundation::FileDescriptor stopWrite_;
    std::string socketName_;
    dev_t socketDevice_ = 0;
    ino_t socketInode_ = 0;
    std::shared_ptr<LaterHandler> target_;
    std::thread receiver_;
};

}  // namespace host
