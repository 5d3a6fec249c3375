// The five programs as a user starts them: their command lines, and the group directory each one
// checks before it touches a file in it.
#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/XServer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <set>

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
    // With a `display`, the start's window is an X11 window on it.
    std::unique_ptr<AppProcess> start(const char* program, const std::vector<std::string>& arguments,
                                      bool errorsApart = true, const std::string& display = "") const {
        std::vector<std::string> shell{"-c", errorsApart ? "exec \"$0\" \"$@\" 2>\"$ERRORS\"" : "exec \"$0\" \"$@\"",
                                       program};
        shell.insert(shell.end(), arguments.begin(), arguments.end());
        std::map<std::string, std::string> environment{
            {"OSTRELO_GROUP_DIR", group.string()}, {"ERRORS", errors.string()},
            {"OSTRELO_WINDOW_SYSTEM", display.empty() ? "offscreen" : "x11"}, {"SDL_AUDIODRIVER", "dummy"},
            {"OSTRELO_RATES_URL", "http://127.0.0.1:9/"}, {"LANG", "en_US.UTF-8"}};
        if (!display.empty()) environment["DISPLAY"] = display;
        return std::make_unique<AppProcess>("/bin/sh", shell, environment);
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

// The window a program opened on the display (its class is the program's name), once it is
// viewable; 0 when there is none.
Window viewableWindowOf(Display* display, const std::string& name) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        XClassHint hint{};
        if (!XGetClassHint(display, children[i], &hint)) continue;
        XWindowAttributes attributes{};
        if (hint.res_name == name && XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable)
            found = children[i];
        XFree(hint.res_name), XFree(hint.res_class);
    }
    XFree(children);
    return found;
}

// How many colours the window shows (1 for a blank window on the server's black root).
std::size_t coloursShown(Display* display, Window window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return 0;
    std::set<unsigned long> colours;
    for (int y = 0; y < image->height; y += 3)
        for (int x = 0; x < image->width; x += 3) colours.insert(XGetPixel(image, x, y) & 0xFFFFFF);
    XDestroyImage(image);
    return colours.size();
}

// Each program on a display of the test's own: its window appears with its first frame drawn,
// never blank, and a terminating signal ends it.
TEST_F(ProgramStartTest, EachProgramMapsItsWindowWithItsFirstFrameOnTheDisplay) {
    if (!testsupport::XServer::installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs it)";
    testsupport::XServer server;
    ASSERT_FALSE(server.display().empty()) << server.failure();
    Display* display = XOpenDisplay(server.display().c_str());
    ASSERT_NE(display, nullptr);
    for (const Program& program : programs) {
        auto process = start(program.path, {}, false, server.display());
        Window window = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(AppProcess::ceiling);
        while ((window = viewableWindowOf(display, program.name)) == 0 && process->running() &&
               std::chrono::steady_clock::now() < deadline)
            usleep(1000);
        ASSERT_NE(window, 0u) << program.name << ": " << process->text();
        EXPECT_GT(coloursShown(display, window), 1u) << program.name;
        EXPECT_TRUE(process->waitForLine("first frame")) << process->text();
        process->kill(SIGTERM);
        EXPECT_TRUE(process->waitForExit()) << program.name;
    }
    XCloseDisplay(display);
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

// A first start killed before its first frame leaves its stand-in store's folder behind: the
// next start removes it once its own first frame is shown, as it does a day-old folder of an
// earlier build. A folder whose first start still runs stays, as do a link and (as root)
// another user's folder under a dead process's name.
TEST_F(ProgramStartTest, AFolderLeftByAKilledFirstStartIsRemovedByTheNextStart) {
    const auto holding = [this](const std::string& name) {
        std::filesystem::create_directory(groupDirectory() / name);
        auto child = std::make_unique<AppProcess>(FIRST_START_CHILD, std::vector<std::string>{},
                                                  std::map<std::string, std::string>{
                                                      {"OSTRELO_GROUP_DIR", (groupDirectory() / name).string()}});
        const auto line = child->waitForLine("held ");
        return std::pair(std::move(child), std::filesystem::path(line.value_or("held ").substr(5)));
    };
    auto [killed, left] = holding("killed");
    auto [running, kept] = holding("running");
    ASSERT_FALSE(left.empty()) << killed->text();
    ASSERT_FALSE(kept.empty()) << running->text();
    const pid_t gone = std::stoi(left.filename().string().substr(std::string("ostrelo-first-start-").size()));
    killed->kill(SIGKILL);
    ASSERT_TRUE(killed->waitForExit());
    // Planted under the dead process's name: a link to a folder of files, another user's folder.
    const std::string plantedName = "ostrelo-first-start-" + std::to_string(gone) + "-";
    const auto shared = left.parent_path();
    const auto link = shared / (plantedName + "link"), target = groupDirectory() / "target";
    const auto foreign = shared / (plantedName + "other");
    std::filesystem::create_directory(target);
    std::ofstream(target / "file") << "x";
    std::filesystem::create_directory_symlink(target, link);
    const auto other = otherUser();
    if (other) {
        std::filesystem::create_directory(foreign);
        ASSERT_EQ(chown(foreign.c_str(), *other, *other), 0);
    }
    // Named by an earlier build, without the process: removed once unchanged for a day.
    const auto unnamed = [&](const char* suffix, std::chrono::hours age) {
        const auto folder = shared / ("ostrelo-first-start-" + std::string(suffix));
        std::filesystem::create_directory(folder);
        std::ofstream(folder / "group.sqlite") << "x";
        std::filesystem::last_write_time(folder, std::filesystem::file_time_type::clock::now() - age);
        return folder;
    };
    const auto oldUnnamed = unnamed("Old9Zz", std::chrono::hours(25));
    const auto newUnnamed = unnamed("New9Zz", std::chrono::hours(23));

    auto app = start(OSTRELO_PROGRAM, {}, false);
    ASSERT_TRUE(app->waitForLine("first frame")) << app->text();
    EXPECT_FALSE(std::filesystem::exists(left)) << app->text();
    EXPECT_TRUE(std::filesystem::exists(kept / "group.sqlite"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(std::filesystem::exists(target / "file"));
    EXPECT_EQ(std::filesystem::exists(foreign), other.has_value());
    EXPECT_FALSE(std::filesystem::exists(oldUnnamed));
    EXPECT_TRUE(std::filesystem::exists(newUnnamed / "group.sqlite"));
    app->kill(SIGTERM);
    running->kill(SIGKILL);
    EXPECT_TRUE(running->waitForExit());
    for (const auto& planted : {link, foreign, kept, newUnnamed}) std::filesystem::remove_all(planted);
}

}  // namespace
