// The five programs as a user starts them: their command lines, and the group directory each one
// checks before it touches a file in it.
#include "tests/support/AppProcess.h"
#include "tests/support/ClipboardPeer.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/XServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo.h>

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
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <set>

using testsupport::AppProcess;
using testsupport::ClipboardPeer;
using testsupport::contentOf;

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
                                      bool errorsApart = true, const std::string& display = "",
                                      const std::map<std::string, std::string>& more = {}) const {
        std::vector<std::string> shell{"-c", errorsApart ? "exec \"$0\" \"$@\" 2>\"$ERRORS\"" : "exec \"$0\" \"$@\"",
                                       program};
        shell.insert(shell.end(), arguments.begin(), arguments.end());
        std::map<std::string, std::string> environment{
            {"OSTRELO_GROUP_DIR", group.string()}, {"ERRORS", errors.string()},
            {"OSTRELO_WINDOW_SYSTEM", display.empty() ? "offscreen" : "x11"}, {"SDL_AUDIODRIVER", "dummy"},
            {"OSTRELO_RATES_URL", "http://127.0.0.1:9/"}, {"LANG", "en_US.UTF-8"}};
        if (!display.empty()) environment["DISPLAY"] = display;
        environment.insert(more.begin(), more.end());
        return std::make_unique<AppProcess>("/bin/sh", shell, environment);
    }
    struct Ended {
        std::optional<int> status;
        std::string output, error;
    };
    Ended run(const char* program, const std::vector<std::string>& arguments, const std::string& display = "") const {
        auto process = start(program, arguments, true, display);
        Ended ended{process->waitForExit(), {}, {}};
        process->waitForLine("\x01");  // reads to the end
        return {ended.status, process->text(), contentOf(errors)};
    }
    std::filesystem::path group, errors;
};

// The app's usage names its quick actions; another quick action or URL is as wrong as an
// unknown option (the app is not started: nothing would answer a start that waited for it).
TEST_F(ProgramStartTest, HelpPrintsTheUsageOnStandardOutputAndAWrongArgumentOnStandardError) {
    for (const Program& program : programs) {
        const Ended help = run(program.path, {"--help"});
        EXPECT_EQ(help.status, 0) << program.name;
        EXPECT_EQ(help.output.rfind("usage: " + program.name, 0), 0u) << help.output;
        EXPECT_EQ(std::count(help.output.begin(), help.output.end(), '\n'), 1) << help.output;
        EXPECT_EQ(help.error, "") << program.name;
        std::vector<std::vector<std::string>> wrongs{{"--bogus"}};
        if (program.name == "ostrelo") {
            EXPECT_NE(help.output.find("copyResult|copyExpression|pasteCalculation"), std::string::npos) << help.output;
            wrongs.insert(wrongs.end(), {{"--shortcut", "bogus"}, {"--shortcut", "copyresult"}, {"http://example.com"}});
        }
        for (const auto& arguments : wrongs) {
            const Ended wrong = run(program.path, arguments);
            EXPECT_EQ(wrong.status, 2) << program.name << " " << arguments.back();
            EXPECT_EQ(wrong.output, "") << program.name;
            EXPECT_EQ(wrong.error, help.output);
        }
    }
}

// The windows a program opened on the display (their class is the program's name), from the
// bottom of the stack up.
std::vector<Window> windowsOf(Display* display, const std::string& name) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::vector<Window> found;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return found;
    for (unsigned i = 0; i < count; ++i) {
        XClassHint hint{};
        if (!XGetClassHint(display, children[i], &hint)) continue;
        if (hint.res_name == name) found.push_back(children[i]);
        XFree(hint.res_name), XFree(hint.res_class);
    }
    XFree(children);
    return found;
}

// The window a program opened on the display, once it is viewable; 0 when there is none.
Window viewableWindowOf(Display* display, const std::string& name) {
    for (const Window window : windowsOf(display, name)) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable) return window;
    }
    return 0;
}

// The window on top of all others.
Window topWindow(Display* display) {
    Window root = 0, parent = 0, *children = nullptr, top = 0;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) && count > 0)
        top = children[count - 1];
    XFree(children);
    return top;
}

// The window of a program once it is viewable with its first frame drawn; 0 when the program
// ended or took too long.
Window shownWindowOf(Display* display, AppProcess& process, const std::string& name) {
    Window window = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(AppProcess::ceiling);
    while ((window = viewableWindowOf(display, name)) == 0 && process.running() && std::chrono::steady_clock::now() < deadline)
        usleep(1000);
    return window != 0 && process.waitForLine("first frame") ? window : 0;
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
        const Window window = shownWindowOf(display, *process, program.name);
        ASSERT_NE(window, 0u) << program.name << ": " << process->text();
        EXPECT_GT(coloursShown(display, window), 1u) << program.name;
        process->kill(SIGTERM);
        EXPECT_TRUE(process->waitForExit()) << program.name;
    }
    XCloseDisplay(display);
}

// What a window shows, in Cairo's RGB24 pixels.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;

    static Picture of(Display* display, Window window) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        Picture picture{attributes.width, attributes.height, {}};
        XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(picture.width),
                                  static_cast<unsigned>(picture.height), AllPlanes, ZPixmap);
        for (int y = 0; image != nullptr && y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) picture.pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
        if (image != nullptr) XDestroyImage(image);
        return picture;
    }
    int grey(int x, int y) const {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
        return int((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) / 3;
    }
    // The mean difference in grey (0 to 255) from a picture twice as large, each 2×2 block of
    // its pixels averaged.
    double differenceFromHalf(const Picture& twice) const {
        double sum = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                sum += std::abs((twice.grey(2 * x, 2 * y) + twice.grey(2 * x + 1, 2 * y) + twice.grey(2 * x, 2 * y + 1) +
                                 twice.grey(2 * x + 1, 2 * y + 1)) / 4.0 - grey(x, y));
        return sum / (double(width) * height);
    }
    // The sum of the squared steps in grey between neighbouring pixels: an edge drawn across one
    // pixel counts twice what the same edge spread over two does.
    double edgeEnergy() const {
        double sum = 0;
        for (int y = 0; y + 1 < height; ++y)
            for (int x = 0; x + 1 < width; ++x)
                sum += std::pow(grey(x + 1, y) - grey(x, y), 2) + std::pow(grey(x, y + 1) - grey(x, y), 2);
        return sum;
    }
    bool write(const std::filesystem::path& file) {
        cairo_surface_t* surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels.data()),
                                                                       CAIRO_FORMAT_RGB24, width, height, width * 4);
        const bool written = cairo_surface_write_to_png(surface, file.c_str()) == CAIRO_STATUS_SUCCESS;
        cairo_surface_destroy(surface);
        return written;
    }
};

// On a desktop of two pixels per point (Xft.dpi 192 in the server's resources) each window is
// twice as large as at one pixel per point (OSTRELO_SCALE=1 overrides the desktop), shows the
// same picture, and draws it at its own pixels: one pixel per point enlarged would have twice
// the edge energy, and less when blurred. The pictures at two pixels per point go to snapshots/
// for a person to look at.
TEST_F(ProgramStartTest, EachWindowFollowsTheDesktopsScaleAndDrawsSharplyAtIt) {
    if (!testsupport::XServer::installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs it)";
    testsupport::XServer server("2048x2048");
    ASSERT_FALSE(server.display().empty()) << server.failure();
    Display* display = XOpenDisplay(server.display().c_str());
    ASSERT_NE(display, nullptr);
    const std::string resources = "Xcursor.size:\t24\nXft.dpi:\t192\n";
    XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(resources.data()), static_cast<int>(resources.size()));
    XSync(display, False);
    std::filesystem::create_directories(OSTRELO_SNAPSHOT_DIR);
    for (const Program& program : programs) {
        if (program.name == "ostrelo-settings") continue;
        SCOPED_TRACE(program.name);
        Picture pictures[2];
        for (const char* scale : {"", "1"}) {
            auto process = start(program.path, {}, false, server.display(), {{"OSTRELO_SCALE", scale}});
            const Window window = shownWindowOf(display, *process, program.name);
            ASSERT_NE(window, 0u) << process->text();
            pictures[*scale == '\0'] = Picture::of(display, window);
            process->kill(SIGTERM);
            EXPECT_TRUE(process->waitForExit());
        }
        Picture &one = pictures[0], &two = pictures[1];
        ASSERT_GT(one.width, 0);
        ASSERT_EQ(std::make_pair(two.width, two.height), std::make_pair(2 * one.width, 2 * one.height));
        EXPECT_TRUE(two.write(std::filesystem::path(OSTRELO_SNAPSHOT_DIR) / (program.name + "-2x.png")));
        EXPECT_LT(one.differenceFromHalf(two), 3);
        EXPECT_GT(two.edgeEnergy() / one.edgeEnergy(), 2.4);
    }
    XCloseDisplay(display);
}

// Each extension runs once per user, as the app does: a second start brings the running window
// forward (over another program's) and ends with 0, and no second window opens.
TEST_F(ProgramStartTest, ASecondStartOfAnExtensionBringsItsWindowForwardAndEnds) {
    if (!testsupport::XServer::installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs it)";
    testsupport::XServer server;
    ASSERT_FALSE(server.display().empty()) << server.failure();
    Display* display = XOpenDisplay(server.display().c_str());
    ASSERT_NE(display, nullptr);
    for (const Program& program : programs) {
        if (program.name == "ostrelo" || program.name == "ostrelo-settings") continue;
        SCOPED_TRACE(program.name);
        auto running = start(program.path, {}, false, server.display());
        const Window window = shownWindowOf(display, *running, program.name);
        ASSERT_NE(window, 0u) << running->text();
        const Window cover = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1280, 1024, 0, 0, 0);
        XMapRaised(display, cover);
        XSync(display, False);
        EXPECT_EQ(topWindow(display), cover);

        const Ended again = run(program.path, {}, server.display());
        EXPECT_EQ(again.status, 0) << again.error;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(AppProcess::ceiling);
        while (topWindow(display) != window && std::chrono::steady_clock::now() < deadline) usleep(1000);
        EXPECT_EQ(topWindow(display), window);
        EXPECT_EQ(windowsOf(display, program.name), std::vector<Window>{window});
        EXPECT_TRUE(running->running());
        XDestroyWindow(display, cover);
        running->kill(SIGTERM);
        EXPECT_TRUE(running->waitForExit());
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
// another user's folder under a dead process's name. The stand-ins are made in a folder of the
// test's own, where no other start makes or removes one meanwhile.
TEST_F(ProgramStartTest, AFolderLeftByAKilledFirstStartIsRemovedByTheNextStart) {
    const auto shared = groupDirectory() / "stand-ins";
    std::filesystem::create_directory(shared);
    const std::map<std::string, std::string> standIns{{"OSTRELO_STAND_IN_DIR", shared.string()}};
    const auto holding = [&](const std::string& name) {
        std::filesystem::create_directory(groupDirectory() / name);
        auto child = std::make_unique<AppProcess>(
            FIRST_START_CHILD, std::vector<std::string>{},
            std::map<std::string, std::string>{{"OSTRELO_GROUP_DIR", (groupDirectory() / name).string()},
                                               {"OSTRELO_STAND_IN_DIR", shared.string()}});
        const auto line = child->waitForLine("held ");
        return std::pair(std::move(child), std::filesystem::path(line.value_or("held ").substr(5)));
    };
    auto [killed, left] = holding("killed");
    auto [running, kept] = holding("running");
    ASSERT_FALSE(left.empty()) << killed->text();
    ASSERT_FALSE(kept.empty()) << running->text();
    ASSERT_EQ(left.parent_path(), shared);
    const pid_t gone = std::stoi(left.filename().string().substr(std::string("ostrelo-first-start-").size()));
    killed->kill(SIGKILL);
    ASSERT_TRUE(killed->waitForExit());
    // Planted under the dead process's name: a link to a folder of files, another user's folder.
    const std::string plantedName = "ostrelo-first-start-" + std::to_string(gone) + "-";
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

    auto app = start(OSTRELO_PROGRAM, {}, false, "", standIns);
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
}

// The app on a display of the test's own, with other programs that use the clipboard.
class ClipboardTest : public ProgramStartTest {
protected:
    void SetUp() override {
        ProgramStartTest::SetUp();
        if (!testsupport::XServer::installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs it)";
        server = std::make_unique<testsupport::XServer>();
        ASSERT_FALSE(server->display().empty()) << server->failure();
        display = XOpenDisplay(server->display().c_str());
        ASSERT_NE(display, nullptr);
        app = start(OSTRELO_PROGRAM, {}, false, server->display());
        window = shownWindowOf(display, *app, "ostrelo");
        ASSERT_NE(window, 0u) << app->text();
    }
    void TearDown() override {
        app.reset();
        if (display != nullptr) XCloseDisplay(display);
        server.reset();
        ProgramStartTest::TearDown();
    }
    static bool eventually(const std::function<bool()>& done) {
        for (auto deadline = Clock::now() + std::chrono::seconds(60); Clock::now() < deadline; usleep(1000))
            if (done()) return true;
        return false;
    }
    // Keys pressed and released in the app's window, as the server delivers them.
    void type(const std::vector<KeySym>& keys) {
        for (const KeySym keysym : keys)
            for (const int type : {KeyPress, KeyRelease}) {
                XEvent event{};
                event.xkey = {type, 0, True, display, window, DefaultRootWindow(display), None, ++time, 1, 1, 1, 1, 0,
                              XKeysymToKeycode(display, keysym), True};
                XSendEvent(display, window, False, NoEventMask, &event);
            }
        XFlush(display);
    }
    // The pixels the window shows.
    std::string picture() const { return ClipboardPeer::pictureOf(display, window); }
    std::unique_ptr<testsupport::ClipboardPeer> copyElsewhere(const std::string& text,
                                                              ClipboardPeer::Role role = ClipboardPeer::Role::owner) {
        auto other = std::make_unique<ClipboardPeer>(server->display(), role, text);
        EXPECT_TRUE(eventually([&] { return other->owning(); }));
        return other;
    }
    // The clipboard's text; "(none)" without one.
    std::string clipboard() const { return ClipboardPeer::read(server->display()).value_or("(none)"); }

    using Clock = std::chrono::steady_clock;
    std::unique_ptr<testsupport::XServer> server;
    Display* display = nullptr;
    std::unique_ptr<AppProcess> app;
    Window window = 0;
    Time time = 0;
};

// A quick action after another program's copy: the copy lands on the clipboard (the window
// takes it with the server's time now, not the older time of its last key).
TEST_F(ClipboardTest, AQuickActionCopiesOverAnotherProgramsCopy) {
    const std::pair<std::vector<KeySym>, std::string> steps[] = {{{XK_6, XK_KP_Multiply, XK_7}, "copyExpression"},
                                                                 {{XK_KP_Enter}, "copyResult"}};
    std::vector<std::string> copied;
    for (const auto& [keys, action] : steps) {
        const std::string before = picture();
        type(keys);
        ASSERT_TRUE(eventually([&] { return picture() != before; }));
        auto other = copyElsewhere("other");
        const Ended ended = run(OSTRELO_PROGRAM, {"--shortcut", action});
        EXPECT_EQ(ended.status, 0) << ended.error;
        copied.push_back(clipboard());
    }
    EXPECT_EQ(copied, (std::vector<std::string>{"6×7", "42"}));
}

// A paste reads the leading number of the clipboard's first MiB, and pastes nothing, saying
// so, of a number too large to calculate with.
TEST_F(ClipboardTest, APasteReadsTheFirstMebibyteAndRefusesANumberTooLarge) {
    auto large = copyElsewhere("12345" + std::string(2 << 20, 'x'));
    Ended ended = run(OSTRELO_PROGRAM, {"--shortcut", "pasteCalculation"});
    EXPECT_EQ(ended.status, 0) << ended.error;
    EXPECT_EQ(run(OSTRELO_PROGRAM, {"--shortcut", "copyResult"}).status, 0);
    EXPECT_EQ(clipboard(), "12,345");
    auto huge = copyElsewhere(std::string(309, '9'));
    ended = run(OSTRELO_PROGRAM, {"--shortcut", "pasteCalculation"});
    EXPECT_EQ(ended.status, 1);
    EXPECT_NE(ended.error.find("was not carried out"), std::string::npos) << ended.error;
    EXPECT_EQ(run(OSTRELO_PROGRAM, {"--shortcut", "copyResult"}).status, 0);
    EXPECT_EQ(clipboard(), "12,345");
}

// An owner that hands its text over a byte at a time: the window answers keys meanwhile, the
// read is given up after its deadline, and the start hears that nothing was pasted (before it
// would stop waiting itself), and nothing is pasted later.
TEST_F(ClipboardTest, ASlowClipboardOwnerNeitherHoldsUpTheWindowNorMisleadsTheStart) {
    auto slow = copyElsewhere("123456789012345678901234567890", ClipboardPeer::Role::slowOwner);
    const auto started = Clock::now();
    auto paste = start(OSTRELO_PROGRAM, {"--shortcut", "pasteCalculation"});
    ASSERT_TRUE(eventually([&] { return slow->asked(); }));
    const std::string before = picture();
    type({XK_5});
    ASSERT_TRUE(eventually([&] { return picture() != before; }));
    EXPECT_EQ(paste->waitForExit(), 1);
    EXPECT_TRUE(slow->drewWhileReading()) << "the key was answered only after the read";
    EXPECT_GT(std::chrono::duration<double>(Clock::now() - started).count(), 1.5);
    EXPECT_NE(contentOf(errors).find("did not hand its text over within 2 s"), std::string::npos) << contentOf(errors);
    EXPECT_TRUE(app->waitForLine("did not carry out the request of a later start"));
    EXPECT_EQ(run(OSTRELO_PROGRAM, {"--shortcut", "copyResult"}).status, 0);
    EXPECT_EQ(clipboard(), "5");
}

// A result copied, then the app closed: a clipboard manager keeps it pasteable.
TEST_F(ClipboardTest, ACopyOutlivesTheAppWithAClipboardManager) {
    auto manager = copyElsewhere("", ClipboardPeer::Role::manager);
    type({XK_6, XK_KP_Multiply, XK_7, XK_KP_Enter});
    // The "=" copies its result.
    ASSERT_TRUE(eventually([&] { return clipboard() == "42"; }));
    XEvent close{};
    close.xclient = {ClientMessage, 0, True, display, window, XInternAtom(display, "WM_PROTOCOLS", False), 32, {}};
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, window, False, NoEventMask, &close);
    XFlush(display);
    EXPECT_EQ(app->waitForExit(), 0) << app->text();
    EXPECT_TRUE(manager->asked());
    EXPECT_EQ(clipboard(), "42");
}

}  // namespace
