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

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <optional>
#include <vector>

namespace host {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
constexpr const char* acknowledgement = "ok";
constexpr std::string_view refusalPrefix = "refused ";
// The longest reason an answer carries.
constexpr std::size_t longestReason = 300;
// How long the running instance waits for the line of one connection, and how many
// connections it reads at once (more wait in the queue).
constexpr auto requestPatience = std::chrono::seconds(1);
constexpr std::size_t connectionsRead = 64;
// Pauses between tries for the start lock or a place in the queue.
constexpr milliseconds firstPause(1), longestPause(50);

std::string systemError(const std::string& what) { return what + ": " + std::strerror(errno); }

SingleInstance::Claim failure(std::string error) { return {SingleInstance::Role::failed, nullptr, std::move(error)}; }

// Nothing answers, and this start cannot take requests either: it runs on its own.
SingleInstance::Claim alone(std::string error) { return {SingleInstance::Role::alone, nullptr, std::move(error)}; }

Clock::time_point after(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

int millisecondsUntil(Clock::time_point deadline) {
    auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Sleeps for `pause` (never past the deadline) and doubles it; false once the deadline passed.
bool pauseBefore(Clock::time_point deadline, milliseconds& pause) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - Clock::now()));
    pause = std::min(pause * 2, longestPause);
    return true;
}

std::string requestProblem(const std::string& request) {
    if (request.size() <= SingleInstance::maximumRequestLength && request.find('\n') == std::string::npos) return {};
    return "the request is not one line of at most " + std::to_string(SingleInstance::maximumRequestLength) + " bytes";
}

// A reason as one line of printable text, cut at a character's start.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    if (text.size() > longestReason) {
        std::size_t cut = longestReason;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text.resize(cut);
    }
    return text;
}

// Holds the lock file exclusively, so that starts decide one at a time; waits for it until the
// deadline at most.
class Exclusive {
public:
    Exclusive(int fd, Clock::time_point deadline) {
        for (milliseconds pause = firstPause;;) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                fd_ = fd;
                return;
            }
            if (errno != EINTR && (errno != EWOULDBLOCK || !pauseBefore(deadline, pause))) return;
        }
    }
    ~Exclusive() { unlock(); }
    Exclusive(const Exclusive&) = delete;
    Exclusive& operator=(const Exclusive&) = delete;
    bool held() const { return fd_ >= 0; }
    void unlock() {
        if (fd_ >= 0) ::flock(fd_, LOCK_UN);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

// The start lock: a regular file of this user's, never reached through a link. None with the
// reason: `untrusted` when it is there but may not be used (the start must not run), else it
// merely cannot be opened (the start runs on its own).
foundation::FileDescriptor openLock(int folder, const std::filesystem::path& path, std::string& problem,
                                    bool& untrusted) {
    foundation::FileDescriptor lock(::openat(folder, path.filename().c_str(),
                                             O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
    struct stat status {};
    untrusted = lock || errno == ELOOP || errno == EACCES || errno == EPERM;
    if (!lock && errno == ELOOP) problem = "the start lock " + path.string() + " is a symbolic link";
    else if (!lock) problem = systemError("cannot use the start lock " + path.string());
    else if (::fstat(lock.get(), &status) != 0) problem = systemError("cannot examine " + path.string());
    else if (!S_ISREG(status.st_mode)) problem = "the start lock " + path.string() + " is not a regular file";
    else if (status.st_uid != ::geteuid()) problem = "the start lock " + path.string() + " belongs to another user";
    else return lock;
    return {};
}

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

// A connection to the address, or none with errno set (EAGAIN: the listener's queue is full).
foundation::FileDescriptor connectTo(const Address& address) {
    foundation::FileDescriptor client(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!client) return {};
    while (::connect(client.get(), address.get(), address.length) != 0)
        if (errno != EINTR) return {};
    return client;
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
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::geteuid();
}

// Whether the start at the other end closed its connection (it gave up waiting).
bool gaveUp(int fd) {
    char next;
    ssize_t n = ::recv(fd, &next, 1, MSG_PEEK | MSG_DONTWAIT);
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR);
}

SingleInstance::Claim handOver(foundation::FileDescriptor connection, const std::filesystem::path& socket,
                               const std::string& name, const std::string& request, Clock::time_point deadline) {
    if (!fromThisUser(connection.get()))
        return failure(socket.string() + " is served by another user: nothing was handed to it");
    if (!sendAll(connection.get(), request + "\n", deadline))
        return failure("cannot hand the request to the running " + name);
    auto reply = readLine(connection.get(), refusalPrefix.size() + longestReason, deadline);
    if (!reply) return failure("the running " + name + " gave no answer");
    if (*reply == acknowledgement) return {SingleInstance::Role::handedOver, nullptr, {}};
    if (reply->rfind(refusalPrefix, 0) == 0)
        return failure("the running " + name + " did not carry out the request: " +
                       oneLine(reply->substr(refusalPrefix.size())));
    return failure("the running " + name + " gave an answer this start does not know");
}

// Listens on the socket in place of anything left at its path (the start lock is held).
SingleInstance::Claim listenAt(const std::filesystem::path& directory, int folder, const std::string& socketName,
                               const Address& address, foundation::FileDescriptor& listener) {
    ::unlinkat(folder, socketName.c_str(), 0);
    listener.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!listener) return alone(systemError("cannot make a socket"));
    if (::bind(listener.get(), address.get(), address.length) != 0)
        return alone(systemError("cannot bind " + (directory / socketName).string()));
    // Nobody can connect before listen, so the socket is private before it is reachable.
    if (::fchmodat(folder, socketName.c_str(), 0600, 0) != 0 || ::listen(listener.get(), SOMAXCONN) != 0) {
        std::string error = systemError("cannot listen on " + (directory / socketName).string());
        ::unlinkat(folder, socketName.c_str(), 0);
        return alone(error);
    }
    return {SingleInstance::Role::running, nullptr, {}};
}

// One connection the running instance reads a request from.
struct Connection {
    foundation::FileDescriptor fd;
    std::string received;
    Clock::time_point deadline;
};

enum class Reading { more, line, drop };

// Takes what arrived; a whole line ends in `received`.
Reading readSome(Connection& connection) {
    char buffer[512];
    ssize_t n = ::recv(connection.fd.get(), buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0) return errno == EAGAIN || errno == EINTR ? Reading::more : Reading::drop;
    if (n == 0) return Reading::drop;
    connection.received.append(buffer, static_cast<std::size_t>(n));
    auto end = connection.received.find('\n');
    if (end == std::string::npos)
        return connection.received.size() > SingleInstance::maximumRequestLength ? Reading::drop : Reading::more;
    if (end > SingleInstance::maximumRequestLength) return Reading::drop;
    connection.received.resize(end);
    return Reading::line;
}

}  // namespace

SingleInstance::SingleInstance(foundation::FileDescriptor directory, foundation::FileDescriptor lock,
                               foundation::FileDescriptor listener, std::string socketName)
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
                                            const std::string& request, Patience patience) {
    const auto reachBy = after(patience.reach);
    if (auto problem = requestProblem(request); !problem.empty()) return failure(problem);
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    foundation::FileDescriptor folder(::open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder) return alone(systemError("cannot open " + directory.string()));
    const std::filesystem::path lockPath = directory / (name + ".lock");
    std::string problem;
    bool untrusted = false;
    foundation::FileDescriptor lock = openLock(folder.get(), lockPath, problem, untrusted);
    if (!lock) return untrusted ? failure(problem) : alone(problem);
    const std::string socketName = name + ".socket";
    auto address = addressOf(directory, folder.get(), socketName);
    if (!address) return alone("the socket path is too long: " + (directory / socketName).string());

    for (milliseconds pause = firstPause;;) {
        Exclusive exclusive(lock.get(), reachBy);
        if (!exclusive.held())
            return failure("another start of " + name + " holds " + lockPath.string() + ": gave up waiting for it");
        if (foundation::FileDescriptor client = connectTo(*address)) {
            exclusive.unlock();
            return handOver(std::move(client), directory / socketName, name, request, after(patience.answer));
        }
        if (errno == ECONNREFUSED || errno == ENOENT) {
            // Nobody listens: this start runs, in place of a socket left behind.
            foundation::FileDescriptor listener;
            Claim taken = listenAt(directory, folder.get(), socketName, *address, listener);
            if (taken.role == Role::running)
                taken.instance.reset(new SingleInstance(std::move(folder), std::move(lock), std::move(listener), socketName));
            return taken;
        }
        if (errno != EAGAIN) return failure(systemError("cannot reach the running " + name));
        // The running instance's queue is full: another start may go first.
        exclusive.unlock();
        if (!pauseBefore(reachBy, pause)) return failure("the running " + name + " takes no more requests");
    }
}

bool SingleInstance::deliver(const std::filesystem::path& directory, const std::string& name,
                             const std::string& request, std::string& error, Patience patience) {
    const auto reachBy = after(patience.reach);
    error = requestProblem(request);
    if (!error.empty()) return false;
    foundation::FileDescriptor folder(::open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder) {
        error = systemError("cannot open " + directory.string());
        return false;
    }
    const std::string socketName = name + ".socket";
    auto address = addressOf(directory, folder.get(), socketName);
    if (!address) {
        error = "the socket path is too long";
        return false;
    }
    for (milliseconds pause = firstPause;;) {
        if (foundation::FileDescriptor client = connectTo(*address)) {
            auto result = handOver(std::move(client), directory / socketName, name, request, after(patience.answer));
            error = result.error;
            return result.role == Role::handedOver;
        }
        if (errno == EAGAIN && pauseBefore(reachBy, pause)) continue;
        error = errno == ECONNREFUSED || errno == ENOENT ? "no running " + name
                : errno == EAGAIN                        ? "the running " + name + " takes no more requests"
                                                         : systemError("cannot reach the running " + name);
        return false;
    }
}

void SingleInstance::serve(Handler handler) {
    serve([handler = std::move(handler)](const std::string& request, const Reply& reply) { reply(handler(request)); });
}

void SingleInstance::serve(LaterHandler handler) {
    if (target_) {
        *target_ = std::move(handler);
        return;
    }
    target_ = std::make_shared<LaterHandler>(std::move(handler));
    int stop[2];
    if (::pipe2(stop, O_CLOEXEC) != 0) {
        foundation::Log::error(systemError("single instance: cannot make a pipe"));
        return;
    }
    stopRead_.reset(stop[0]);
    stopWrite_.reset(stop[1]);
    receiver_ = std::thread([this, target = std::weak_ptr<LaterHandler>(target_)] { receive(target); });
}

SingleInstance::Reply::Reply(std::shared_ptr<foundation::FileDescriptor> connection)
    : connection_(std::move(connection)) {}

bool SingleInstance::Reply::waiting() const { return *connection_ && !gaveUp(connection_->get()); }

void SingleInstance::Reply::operator()(const std::optional<std::string>& refusal) const {
    if (!*connection_) return;
    std::string reply = (refusal ? std::string(refusalPrefix) + oneLine(*refusal) : acknowledgement) + "\n";
    ::send(connection_->get(), reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    connection_->reset();
}

namespace {

// Carries the request out on the main run loop, unless its start gave up meanwhile; the
// handler answers it.
void carryOut(const std::weak_ptr<SingleInstance::LaterHandler>& target, Connection connection) {
    SingleInstance::Reply reply(std::make_shared<foundation::FileDescriptor>(std::move(connection.fd)));
    foundation::RunLoop::main().post([target, reply, request = std::move(connection.received)] {
        auto handler = target.lock();
        if (!handler || !*handler) return;
        if (!reply.waiting()) {
            foundation::Log::info("a later start gave up waiting: its request was not carried out");
            return;
        }
        (*handler)(request, reply);
    });
}

// Takes the connections waiting in the listener's queue, as many as may be read at once.
// False when no descriptor is left for one (the caller pauses taking them).
bool acceptWaiting(int listener, std::vector<Connection>& reading) {
    while (reading.size() < connectionsRead) {
        foundation::FileDescriptor connection(::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!connection) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            if (errno != EMFILE && errno != ENFILE) return true;
            foundation::Log::warning(systemError("single instance: cannot take a request"));
            return false;
        }
        if (fromThisUser(connection.get())) reading.push_back({std::move(connection), {}, Clock::now() + requestPatience});
    }
    return true;
}

}  // namespace

void SingleInstance::receive(const std::weak_ptr<LaterHandler>& target) {
    std::vector<Connection> reading;
    std::optional<Clock::time_point> acceptAgainAt;
    for (;;) {
        const auto now = Clock::now();
        std::erase_if(reading, [now](const Connection& c) { return c.deadline <= now; });
        if (acceptAgainAt && *acceptAgainAt <= now) acceptAgainAt.reset();
        const bool accepting = !acceptAgainAt && reading.size() < connectionsRead;
        std::vector<pollfd> fds{{stopRead_.get(), POLLIN, 0}, {accepting ? listener_.get() : -1, POLLIN, 0}};
        std::optional<Clock::time_point> wake = acceptAgainAt;
        for (const Connection& c : reading) {
            fds.push_back({c.fd.get(), POLLIN, 0});
            wake = std::min(wake.value_or(c.deadline), c.deadline);
        }
        if (::poll(fds.data(), fds.size(), wake ? millisecondsUntil(*wake) : -1) < 0) {
            if (errno == EINTR) continue;
            foundation::Log::error(systemError("single instance: cannot wait for requests"));
            return;
        }
        if (fds[0].revents != 0 || (fds[1].revents & (POLLERR | POLLNVAL)) != 0) return;
        for (std::size_t i = reading.size(); i-- > 0;) {
            if (fds[i + 2].revents == 0) continue;
            Reading result = readSome(reading[i]);
            if (result == Reading::line) carryOut(target, std::move(reading[i]));
            if (result != Reading::more) reading.erase(reading.begin() + static_cast<std::ptrdiff_t>(i));
        }
        if ((fds[1].revents & POLLIN) != 0 && !acceptWaiting(listener_.get(), reading))
            acceptAgainAt = Clock::now() + std::chrono::seconds(1);
    }
}

SingleInstance::~SingleInstance() {
    if (receiver_.joinable()) {
        char stop = 1;
        (void)!::write(stopWrite_.get(), &stop, 1);
        receiver_.join();
    }
    target_.reset();
    // A start that holds the lock for long only leaves the socket behind, which the next start
    // replaces.
    Exclusive exclusive(lock_.get(), after(usualPatience.reach));
    struct stat status {};
    if (exclusive.held() && ::fstatat(directory_.get(), socketName_.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        status.st_dev == socketDevice_ && status.st_ino == socketInode_)
        ::unlinkat(directory_.get(), socketName_.c_str(), 0);
    listener_.reset();
}

}  // namespace host
