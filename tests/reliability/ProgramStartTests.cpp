// The five programs as a user starts them: their command lines, and the group directory each one
// checks before it touches a file in it.
#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>

using testsupport::AppProcess;

namespace {

struct Program {
    const char* path;
    std::string name;
};
const Program programs[] = {{OSTRELO_PROGRAM, "ostrelo"},
                            {SETTINGS_PROGRAM, "ostrelo-settings"},
                            {MESSAGES_PROGRAM, "ostrelo-messages"},
                            {WIDGET_PROGRAM, "ostrelo-widget"},
                            {KEYBOARD_PROGRAM, "ostrelo-keyboard"}};

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Another user's id (nobody's) when the test may act as another user (it runs as root).
std::optional<uid_t> otherUser() {
    const passwd* nobody = getpwnam("nobody");
    return geteuid() != 0 ? std::nullopt : std::optional<uid_t>(nobody != nullptr ? nobody->pw_uid : 65534);
}

// A socket at `path` that another user serves (bound here, listening as `user`); the child counts
// the bytes sent to it once the test closes `done[1]`, in its exit status. Only system calls
// after the fork.
pid_t serveAs(uid_t user, const std::string& path, int ready, const int done[2]) {
    sockaddr_un address{AF_UNIX, {}};
    std::copy(path.begin(), path.end(), address.sun_path);
    pid_t child = fork();
    if (child != 0) return child;
    close(done[1]);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || setgid(user) != 0 || setuid(user) != 0 ||
        listen(fd, 8) != 0)
        _exit(101);
    char c = 0;
    int received = 0;
    if (write(ready, &c, 1) == 1 && read(done[0], &c, 1) >= 0)
        for (int connection; (connection = accept(fd, nullptr, nullptr)) >= 0;)
            for (ssize_t n; (n = recv(connection, &c, 1, MSG_DONTWAIT)) > 0;) ++received;
    _exit(std::min(received, 100));
}

class ProgramStartTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        group = groupDirectory() / "group";
        errors = groupDirectory() / "stderr";
        ASSERT_EQ(mkdir(group.c_str(), 0700), 0);
    }
    // A start on the group directory, offscreen; its standard error goes to `errors`, or is read
    // with its standard output.
    std::unique_ptr<AppProcess> start(const char* program, const std::vector<std::string>& arguments,
                                      bool errorsApart = true) const {
        std::vector<std::string> shell{"-c", errorsApart ? "exec \"$0\" \"$@\" 2>\"$ERRORS\"" : "exec \"$0\" \"$@\"",
                                       program};
        shell.insert(shell.end(), arguments.begin(), arguments.end());
        return std::make_unique<AppProcess>(
            "/bin/sh", shell,
            std::map<std::string, std::string>{{"OSTRELO_GROUP_DIR", group.string()}, {"ERRORS", errors.string()},
                                               {"SDL_VIDEODRIVER", "offscreen"}, {"SDL_AUDIODRIVER", "dummy"},
                                               {"OSTRELO_RATES_URL", "http://127.0.0.1:9/"}, {"LANG", "en_US.UTF-8"}});
    }
    struct Ended {
        std::optional<int> status;
        std::string output, error;
    };
    Ended run(const char* program, const std::vector<std::string>& arguments) const {
        auto process = start(program, arguments);
        Ended ended{process->waitForExit(), {}, {}};
        process->waitForLine("\x01");  // reads to the end
        return {ended.status, process->text(), contentOf(errors)};
    }
    std::filesystem::path group, errors;
};

TEST_F(ProgramStartTest, HelpPrintsTheUsageOnStandardOutputAndAWrongArgumentOnStandardError) {
    for (const Program& program : programs) {
        const Ended help = run(program.path, {"--help"}), wrong = run(program.path, {"--bogus"});
        EXPECT_EQ(help.status, 0) << program.name;
        EXPECT_EQ(help.output.rfind("usage: " + program.name, 0), 0u) << help.output;
        EXPECT_EQ(std::count(help.output.begin(), help.output.end(), '\n'), 1) << help.output;
        EXPECT_EQ(help.error, "") << program.name;
        EXPECT_EQ(wrong.status, 2) << program.name;
        EXPECT_EQ(wrong.output, "") << program.name;
        EXPECT_EQ(wrong.error, help.output);
    }
}

// What a start finds in the group directory, as another local user could have left it: the app
// tightens a directory of the user's that others may use and goes on; anything it cannot trust
// ends every start with 1 and one line naming it. Nothing outside the directory changes, and
// nothing reaches the other user's socket.
TEST_F(ProgramStartTest, EachProgramTightensItsOwnDirectoryAndRefusesWhatOthersCouldHavePlanted) {
    const auto other = otherUser();
    const auto precious = groupDirectory() / "precious", lock = group / "ostrelo.lock";
    std::ofstream(precious) << "precious";
    int held = -1, ready[2], done[2] = {-1, -1};
    pid_t server = -1;
    const auto ofOther = [&](const std::filesystem::path& path) { ASSERT_EQ(chown(path.c_str(), *other, *other), 0); };
    const std::string anotherUser = " belongs to another user (uid " + std::to_string(other.value_or(0)) + ")";
    struct Row {
        const char* situation;
        bool anotherUser, everyProgram;
        std::function<void()> plant;
        std::string reason;  // empty: the start goes on
    } rows[] = {
        {"a directory open to all", false, false,
         [&] {
             std::ofstream(group / "pasteboard") << "7";
             chmod(group.c_str(), 0777);
             chmod((group / "pasteboard").c_str(), 0666);
         },
         ""},
        {"a link in place of the directory", false, true,
         [&] {
             std::filesystem::rename(group, groupDirectory() / "real");
             std::filesystem::create_directory_symlink(groupDirectory() / "real", group);
         },
         group.string() + " is a symbolic link"},
        {"a link among its files", false, false, [&] { std::filesystem::create_symlink(precious, group / "UserActivity"); },
         (group / "UserActivity").string() + " is a symbolic link"},
        {"a start lock held meanwhile", false, false,
         [&] { flock(held = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600), LOCK_EX); },
         "another start of ostrelo holds " + lock.string() + ": gave up waiting for it"},
        {"a directory of another user", true, true, [&] { ofOther(group); },
         group.string() + anotherUser},
        {"a lock of another user", true, false,
         [&] {
             std::ofstream(lock).close();
             ofOther(lock);
         },
         lock.string() + anotherUser},
        {"a socket another user serves", true, false,
         [&] {
             ASSERT_TRUE(pipe2(ready, O_CLOEXEC) == 0 && pipe2(done, O_CLOEXEC) == 0);
             server = serveAs(*other, (group / "ostrelo.socket").string(), ready[1], done);
             close(ready[1]);
             close(done[0]);
             char c;
             ASSERT_EQ(read(ready[0], &c, 1), 1) << "the other user's socket does not listen";
         },
         (group / "ostrelo.socket").string() + " is served by another user: nothing was handed to it"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.situation);
        if (row.anotherUser && !other) continue;
        std::filesystem::remove_all(group);
        std::filesystem::remove_all(groupDirectory() / "real");
        ASSERT_EQ(mkdir(group.c_str(), 0700), 0);
        row.plant();
        if (row.reason.empty()) {
            auto app = start(OSTRELO_PROGRAM, {}, false);
            ASSERT_TRUE(app->waitForLine("first frame")) << app->text();
            EXPECT_EQ(std::filesystem::status(group).permissions(), std::filesystem::perms(0700));
            EXPECT_EQ(std::filesystem::status(group / "pasteboard").permissions(), std::filesystem::perms(0644));
            EXPECT_NE(app->text().find(group.string() + " was open to other users (mode 0777): now 0700"),
                      std::string::npos);
            continue;
        }
        for (const Program& program : programs) {
            if (!row.everyProgram && program.name != "ostrelo") continue;
            const Ended ended = run(program.path, {});
            EXPECT_EQ(ended.status, 1) << program.name;
            EXPECT_EQ(ended.error, program.name + ": " + row.reason + "\n");
        }
        close(std::exchange(held, -1));
        if (server > 0) {
            close(done[1]);
            int status = -1;
            EXPECT_EQ(waitpid(server, &status, 0), server);
            EXPECT_EQ(status, 0) << "the other user's socket received bytes, or did not listen";
            server = -1;
        }
    }
    EXPECT_EQ(contentOf(precious), "precious");
    if (!other) GTEST_SKIP() << "the situations with another user's files need that user's id (run as root)";
}

}  // namespace
