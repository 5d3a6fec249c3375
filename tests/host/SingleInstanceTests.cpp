#include "platform/foundation/RunLoop.h"
#include "platform/foundation/FileDescriptor.h"
#include "platform/host/SingleInstance.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

using host::SingleInstance;

namespace {

// Children are forked while this process has no other thread, and end with _exit.
pid_t spawn(const std::function<int()>& body) {
    pid_t pid = fork();
    if (pid == 0) _exit(body());
    return pid;
}

int exitStatus(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class SingleInstanceTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        foundation::RunLoop::main().useRealTime();
        // Deeper than a socket address (107 bytes) can name.
        directory = groupDirectory();
        while (directory.string().size() < 160) directory /= "a-folder-with-a-long-name";
        std::filesystem::create_directories(directory);
    }
    void TearDown() override {
        foundation::RunLoop::main().useVirtualTime();
        SuiteTest::TearDown();
    }
    // A client that connects as a later start would, without the protocol.
    foundation::FileDescriptor connectRaw() {
        foundation::FileDescriptor folder(open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        std::string path = "/proc/self/fd/" + std::to_string(folder.get()) + "/ostrelo.socket";
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        foundation::FileDescriptor client(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        EXPECT_EQ(connect(client.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << std::strerror(errno);
        return client;
    }
    // What arrives until the connection ends (a generous ceiling for a server that never ends it).
    static std::string readToEnd(int fd) {
        std::string text;
        char buffer[256];
        for (pollfd p{fd, POLLIN, 0}; poll(&p, 1, 60'000) == 1;) {
            ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }
    std::filesystem::path directory;
};

TEST_F(SingleInstanceTest, ALaterStartHandsItsRequestOverWhereAStaleSocketWasReplaced) {
    // A start that died while running left its socket behind.
    pid_t crashed = spawn([&] {
        auto claim = SingleInstance::claim(directory, "ostrelo", "activate");
        if (claim.role != SingleInstance::Role::running) return 1;
        (void)claim.instance.release();
        return 0;
    });
    ASSERT_EQ(exitStatus(crashed), 0);
    ASSERT_TRUE(std::filesystem::is_socket(directory / "ostrelo.socket"));

    auto claim = SingleInstance::claim(directory, "ostrelo", "activate");
    ASSERT_EQ(claim.role, SingleInstance::Role::running) << claim.error;
    struct stat status {};
    ASSERT_EQ(stat((directory / "ostrelo.socket").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    // A request longer than the bound is dropped unanswered; the instance goes on serving.
    foundation::FileDescriptor flood = connectRaw();
    std::string tooLong(4 * SingleInstance::maximumRequestLength, 'x');
    ASSERT_EQ(send(flood.get(), tooLong.data(), tooLong.size(), MSG_NOSIGNAL), static_cast<ssize_t>(tooLong.size()));
    pid_t second = spawn([&] {
        auto handover = SingleInstance::claim(directory, "ostrelo", "shortcut org.ostrelo().copyResult", {60, 60});
        return handover.role == SingleInstance::Role::handedOver ? 0 : 1;
    });

    std::vector<std::string> received;
    claim.instance->serve([&](const std::string& request) {
        received.push_back(request);
        return std::nullopt;
    });
    char reply[8];
    EXPECT_LE(recv(flood.get(), reply, sizeof reply, 0), 0);
    ASSERT_TRUE(foundation::RunLoop::main().runUntil([&] { return !received.empty(); }, 60));
    EXPECT_EQ(exitStatus(second), 0);
    EXPECT_EQ(received, std::vector<std::string>{"shortcut org.ostrelo().copyResult"});

    claim.instance.reset();
    EXPECT_FALSE(std::filesystem::exists(directory / "ostrelo.socket"));
}

TEST_F(SingleInstanceTest, SimultaneousStartsLeaveExactlyOneInstance) {
    constexpr int starts = 4;
    int go[2], outcomes[2];
    ASSERT_EQ(pipe(go), 0);
    ASSERT_EQ(pipe(outcomes), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < starts; ++i) {
        children.push_back(spawn([&] {
            close(go[1]);
            char ignored;
            (void)!read(go[0], &ignored, 1);  // returns once every start may go
            auto claim = SingleInstance::claim(directory, "ostrelo", "activate", {60, 60});
            char outcome = claim.role == SingleInstance::Role::running      ? 'R'
                           : claim.role == SingleInstance::Role::handedOver ? 'H'
                                                                            : 'F';
            (void)!write(outcomes[1], &outcome, 1);
            if (outcome != 'R') return outcome == 'H' ? 0 : 1;
            int received = 0;
            claim.instance->serve([&](const std::string&) {
                ++received;
                return std::nullopt;
            });
            return foundation::RunLoop::main().runUntil([&] { return received == starts - 1; }, 60) ? 0 : 2;
        }));
    }
    close(go[0]);
    close(go[1]);
    close(outcomes[1]);
    std::string seen;
    char outcome;
    while (read(outcomes[0], &outcome, 1) == 1) seen += outcome;
    close(outcomes[0]);
    for (pid_t child : children) EXPECT_EQ(exitStatus(child), 0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 'R'), 1) << seen;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 'H'), starts - 1) << seen;
}

// Clients that never end their line, send too much or give up hold no one else up and reach
// nothing: two hundred requests at once are each carried out once and answered, a refused one
// with its reason, and the others' connections end unanswered.
TEST_F(SingleInstanceTest, HostileClientsHoldNoOneUpAndEveryRequestIsAnsweredOnce) {
    auto claim = SingleInstance::claim(directory, "ostrelo", "activate");
    ASSERT_EQ(claim.role, SingleInstance::Role::running) << claim.error;
    std::map<std::string, int> carried;
    int total = 0;
    claim.instance->serve([&](const std::string& request) -> std::optional<std::string> {
        ++carried[request];
        ++total;
        return request == "refuse" ? std::optional<std::string>("not\nthis one") : std::nullopt;
    });
    struct Row {
        std::string sends;
        bool leaves;
        std::string answer;
    };
    std::vector<Row> rows{{"", false, ""},                      // silent
                          {"activate", false, ""},              // never ends its line
                          {std::string(4096, 'x'), false, ""},  // longer than a request
                          {"gave-up\n", true, ""},              // gone before it could be carried out
                          {"refuse\n", false, "refused not this one\n"}};
    for (int i = 0; i < 200; ++i) rows.push_back({"activate " + std::to_string(i) + "\n", false, "ok\n"});
    std::vector<foundation::FileDescriptor> clients;
    for (const Row& row : rows) {
        clients.push_back(connectRaw());
        ASSERT_EQ(send(clients.back().get(), row.sends.data(), row.sends.size(), MSG_NOSIGNAL), ssize_t(row.sends.size()));
        if (row.leaves) clients.back().reset();
    }
    ASSERT_TRUE(foundation::RunLoop::main().runUntil([&] { return total == 201; }, 60)) << total;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].leaves) continue;
        EXPECT_EQ(readToEnd(clients[i].get()), rows[i].answer) << rows[i].sends.substr(0, 20);
    }
    EXPECT_EQ(carried.count("gave-up"), 0u);
    EXPECT_EQ(carried.size(), 201u);
    for (const auto& [request, times] : carried) EXPECT_EQ(times, 1) << request;
}

}  // namespace
