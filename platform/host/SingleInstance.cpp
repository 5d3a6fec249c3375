#include "platform/host/SingleInstance.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <optional>

namespace host {

struct SingleInstance::Handler {
    std::function<void(const std::string&)> handle;
};

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* acknowledgement = "ok";
// How long the running instance waits for the line of one connection.
constexpr auto requestPatience = std::chrono::seconds(1);

std::string systemError(const std::string& what) { return what + ": " + std::strerror(errno); }

SingleInstance::Claim failure(std::string error) { return {SingleInstance::Role::failed, nullptr, std::move(error)}; }

// Nothing answers, and this start cannot take requests either: it runs on its own.
SingleInstance::Claim alone(std::string error) { return {SingleInstance::Role::alone, nullptr, std::move(error)}; }

int millisecondsUntil(Clock::time_point deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Holds the lock file exclusively, so that starts decide one at a time.
class Exclusive {
public:
    explicit Exclusive(int fd) : fd_(fd) {
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~Exclusive() { unlock(); }
    Exclusive(const Exclusive&) = delete;
    Exclusive& operator=(const Exclusive&) = delete;
    void unlock() {
        if (fd_ >= 0) ::flock(fd_, LOCK_UN);
        fd_ = -1;
    }

private:
    int fd_;
};

struct Address {
    sockaddr_un address{};
    socklen_t length = 0;
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&address); }
};

// The socket's path in the directory when it fits an address (107 bytes); else the same
// directory reached through the descriptor held open on it.
std::optional<Address> addressOf(const std::filesystem::path& directory, int directoryFd, const std::string& name) {
    std::string path = (directory / name).string();
    if (path.size() >= sizeof(sockaddr_un::sun_path))
        path = "/proc/self/fd/" + std::to_string(directoryFd) + "/" + name;
    if (path.size() >= sizeof(sockaddr_un::sun_path)) return std::nullopt;
    Address a;
    a.address.sun_family = AF_UNIX;
    std::memcpy(a.address.sun_path, path.data(), path.size());
    a.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    return a;
}

bool waitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        int ready = ::poll(&p, 1, millisecondsUntil(deadline));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

bool sendAll(int fd, const std::string& data, Clock::time_point deadline) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!waitFor(fd, POLLOUT, deadline)) return false;
        } else {
            return false;
        }
    }
    return true;
}

// One line (without its end) of at most `limit` bytes; none on a longer line, an early end
// of the connection or the deadline.
std::optional<std::string> readLine(int fd, std::size_t limit, Clock::time_point deadline) {
    std::string line;
    char buffer[256];
    for (;;) {
        if (!waitFor(fd, POLLIN, deadline)) return std::nullopt;
        ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) return std::nullopt;
        line.append(buffer, static_cast<std::size_t>(n));
        if (auto end = line.find('\n'); end != std::string::npos) {
            if (end > limit) return std::nullopt;
            line.resize(end);
            return line;
        }
        if (line.size() > limit) return std::nullopt;
    }
}

bool fromThisUser(int fd) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::getuid();
}

SingleInstance::Claim handOver(FileDescriptor connection, const std::string& request, Clock::time_point deadline) {
    if (!sendAll(connection.get(), request + "\n", deadline))
        return failure("cannot hand the request to the running instance");
    auto reply = readLine(connection.get(), 16, deadline);
    if (reply != acknowledgement) return failure("the running instance did not acknowledge the request");
    return {SingleInstance::Role::handedOver, nullptr, {}};
}

}  // namespace

SingleInstance::SingleInstance(FileDescriptor directory, FileDescriptor lock, FileDescriptor listener, std::string socketName)
    : directory_(std::move(directory)),
      lock_(std::move(lock)),
      listener_(std::move(listener)),
      socketName_(std::move(socketName)) {
    struct stat status {};
    if (::fstatat(directory_.get(), socketName_.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
        socketDevice_ = status.st_dev;
        socketInode_ = status.st_ino;
    }
}

SingleInstance::Claim SingleInstance::claim(const std::filesystem::path& directory, const std::string& name,
                                            const std::string& request, double timeout) {
    auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(timeout));
    if (request.size() > maximumRequestLength || request.find('\n') != std::string::npos)
        return failure("the request is not one line of at most " + std::to_string(maximumRequestLength) + " bytes");
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    FileDescriptor folder(::open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder) return alone(systemError("cannot open " + directory.string()));
    FileDescriptor lock(::openat(folder.get(), (name + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!lock) return alone(systemError("cannot open the lock of " + name));
    std::string socketName = name + ".socket";
    auto address = addressOf(directory, folder.get(), socketName);
    if (!address) return alone("the socket path is too long: " + (directory / socketName).string());

    Exclusive exclusive(lock.get());
    FileDescriptor client(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!client) return alone(systemError("cannot make a socket"));
    if (::connect(client.get(), address->get(), address->length) == 0) {
        exclusive.unlock();
        return handOver(std::move(client), request, deadline);
    }
    if (errno != ECONNREFUSED && errno != ENOENT) return failure(systemError("cannot reach the running instance"));

    // Nobody listens: this start runs, in place of a socket left behind.
    ::unlinkat(folder.get(), socketName.c_str(), 0);
    FileDescriptor listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!listener) return alone(systemError("cannot make a socket"));
    if (::bind(listener.get(), address->get(), address->length) != 0)
        return alone(systemError("cannot bind " + (directory / socketName).string()));
    // Nobody can connect before listen, so the socket is private before it is reachable.
    if (::fchmodat(folder.get(), socketName.c_str(), 0600, 0) != 0 || ::listen(listener.get(), 16) != 0) {
        std::string error = systemError("cannot listen on " + (directory / socketName).string());
        ::unlinkat(folder.get(), socketName.c_str(), 0);
        return alone(error);
    }
    std::unique_ptr<SingleInstance> instance(
        new SingleInstance(std::move(folder), std::move(lock), std::move(listener), std::move(socketName)));
    return {Role::running, std::move(instance), {}};
}

bool SingleInstance::deliver(const std::filesystem::path& directory, const std::string& name,
                             const std::string& request, std::string& error, double timeout) {
    auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(timeout));
    if (request.size() > maximumRequestLength || request.find('\n') != std::string::npos) {
        error = "the request is not one line of at most " + std::to_string(maximumRequestLength) + " bytes";
        return false;
    }
    FileDescriptor folder(::open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder) {
        error = systemError("cannot open " + directory.string());
        return false;
    }
    std::string socketName = name + ".socket";
    auto address = addressOf(directory, folder.get(), socketName);
    FileDescriptor client(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!address || !client) {
        error = address ? systemError("cannot make a socket") : "the socket path is too long";
        return false;
    }
    if (::connect(client.get(), address->get(), address->length) != 0) {
        error = errno == ECONNREFUSED || errno == ENOENT ? "no running " + name
                                                         : systemError("cannot reach the running " + name);
        return false;
    }
    auto result = handOver(std::move(client), request, deadline);
    error = result.error;
    return result.role == Role::handedOver;
}

void SingleInstance::serve(std::function<void(const std::string&)> handler) {
    if (handler_) {
        handler_->handle = std::move(handler);
        return;
    }
    handler_ = std::make_shared<Handler>(Handler{std::move(handler)});
    int stop[2];
    if (::pipe2(stop, O_CLOEXEC) != 0) {
        foundation::Log::error(systemError("single instance: cannot make a pipe"));
        return;
    }
    stopRead_.reset(stop[0]);
    stopWrite_.reset(stop[1]);
    receiver_ = std::thread([this, handler = std::weak_ptr<Handler>(handler_)] { receive(handler); });
}

void SingleInstance::receive(const std::weak_ptr<Handler>& handler) {
    for (;;) {
        pollfd fds[2] = {{listener_.get(), POLLIN, 0}, {stopRead_.get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            foundation::Log::error(systemError("single instance: cannot wait for requests"));
            return;
        }
        if (fds[1].revents != 0) return;
        if ((fds[0].revents & (POLLERR | POLLNVAL)) != 0) return;
        FileDescriptor connection(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!connection) {
            if (errno == EMFILE || errno == ENFILE) {
                foundation::Log::warning(systemError("single instance: cannot take a request"));
                pollfd stop{stopRead_.get(), POLLIN, 0};
                if (::poll(&stop, 1, 1000) > 0) return;
            }
            continue;
        }
        if (!fromThisUser(connection.get())) continue;
        auto request = readLine(connection.get(), maximumRequestLength, Clock::now() + requestPatience);
        if (!request) continue;
        auto held = std::make_shared<FileDescriptor>(std::move(connection));
        foundation::RunLoop::main().post([handler, held, text = std::move(*request)] {
            auto target = handler.lock();
            if (!target || !target->handle) return;
            target->handle(text);
            std::string reply = std::string(acknowledgement) + "\n";
            ::send(held->get(), reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        });
    }
}

SingleInstance::~SingleInstance() {
    if (receiver_.joinable()) {
        char stop = 1;
        (void)!::write(stopWrite_.get(), &stop, 1);
        receiver_.join();
    }
    handler_.reset();
    Exclusive exclusive(lock_.get());
    struct stat status {};
    if (::fstatat(directory_.get(), socketName_.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        status.st_dev == socketDevice_ && status.st_ino == socketInode_)
        ::unlinkat(directory_.get(), socketName_.c_str(), 0);
    listener_.reset();
}

}  // namespace host
