// A program in a real X window, driven as a person would: keys pressed through XTest and its
// frames seen through X damage. Started by bench/window-keys.sh inside an Xvfb of its own.
//
//   bench_window_keys [--samples N] [--soak N] [--starts N] [--store DIR] -- PROGRAM [ARGUMENTS...]
//
// With --starts, first starts PROGRAM N times and prints the median time from its start to its
// window's first frame. Then starts PROGRAM, waits for its window's first frame and measures
//  - key to frame: for each of N keys ("7" and Backspace by turns), the time from the key's
//    press to the first damage of the window, with the window quiet before each key; prints the
//    median, the 99th percentile and the maximum; with --store (the group directory), also the
//    time from the key's press to the first write of its commit into the store's log;
//  - memory: the program's VmRSS before and after a soak of N more keys (each sent once the
//    frame of the one before it came), typing sums that differ each time ("123+45=", Escape),
//    so that every display text is new, and on the way after 1,000, 2,000, 5,000, 10,000 ...
//    keys: a curve that tells a warm-up from growth per key (bench/idle-check.sh watches an
//    idle window).
// Exits 1 when the program does not come up, a key brings no frame, or the program dies.
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

struct Options {
    int samples = 500;
    int soak = 10000;
    int starts = 0;
    std::string store;
    std::vector<char*> program;
};

std::optional<Options> parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            options.program.assign(argv + i + 1, argv + argc);
            break;
        }
        if (i + 1 >= argc) return std::nullopt;
        if (arg == "--samples") options.samples = std::atoi(argv[++i]);
        else if (arg == "--soak") options.soak = std::atoi(argv[++i]);
        else if (arg == "--starts") options.starts = std::atoi(argv[++i]);
        else if (arg == "--store") options.store = argv[++i];
        else return std::nullopt;
    }
    if (options.program.empty() || options.samples < 1 || options.soak < 0 || options.starts < 0)
        return std::nullopt;
    options.program.push_back(nullptr);
    return options;
}

// One field ("VmRSS:") of /proc/PID/status in kB; -1 when the process is gone.
long statusField(pid_t pid, const std::string& name, const std::string& task = {}) {
    std::ifstream in("/proc/" + std::to_string(pid) + (task.empty() ? "" : "/task/" + task) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(name, 0) == 0) return std::atol(line.c_str() + name.size());
    return -1;
}

struct Memory {
    long rss, anon, file;
};

Memory memoryOf(pid_t pid) {
    return {statusField(pid, "VmRSS:"), statusField(pid, "RssAnon:"), statusField(pid, "RssFile:")};
}

// Where the soak's curve is read: 1, 2 and 5 times each power of ten from 1,000 keys on.
bool isCheckpoint(std::size_t keys) {
    for (std::size_t step = 1000; step <= keys; step *= 10)
        if (keys == step || keys == 2 * step || keys == 5 * step) return true;
    return false;
}

class Probe {
public:
    Probe(Display* display, pid_t pid) : display_(display), pid_(pid) {
        int error = 0;
        if (!XDamageQueryExtension(display_, &damageEvent_, &error)) fail("the X server has no DAMAGE extension");
        int major = 0, minor = 0;
        if (!XTestQueryExtension(display_, &error, &error, &major, &minor)) fail("the X server has no XTEST extension");
    }

    // Ends the program too.
    static void fail(const std::string& why) {
        std::fprintf(stderr, "bench_window_keys: %s\n", why.c_str());
        if (started > 0) kill(started, SIGKILL);
        std::exit(1);
    }
    static inline pid_t started = 0;

    bool alive() const { return kill(pid_, 0) == 0 && statusField(pid_, "VmRSS:") >= 0; }

    // The program's viewable top-level window, within a deadline.
    void findWindow(double seconds) {
        const Atom pidAtom = XInternAtom(display_, "_NET_WM_PID", False);
        const auto start = Clock::now();
        while (since(start) < seconds * 1000) {
            if (!alive()) fail("the program ended before its window showed");
            Window root = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) {
                for (unsigned i = 0; i < count && window_ == 0; ++i) {
                    Atom type = 0;
                    int format = 0;
                    unsigned long items = 0, after = 0;
                    unsigned char* data = nullptr;
                    if (XGetWindowProperty(display_, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                                           &items, &after, &data) == Success &&
                        data != nullptr && items == 1 && static_cast<pid_t>(*reinterpret_cast<long*>(data)) == pid_) {
                        XWindowAttributes attributes;
                        if (XGetWindowAttributes(display_, children[i], &attributes) &&
                            attributes.map_state == IsViewable)
                            window_ = children[i];
                    }
                    if (data != nullptr) XFree(data);
                }
                if (children != nullptr) XFree(children);
            }
            if (window_ != 0) break;
            usleep(5000);
        }
        if (window_ == 0) fail("no window of the program within the deadline");
        damage_ = XDamageCreate(display_, window_, XDamageReportNonEmpty);
        XSync(display_, False);
    }

    // Focus and pointer on the window, then waits for it to go quiet.
    void focus() {
        XWindowAttributes attributes;
        XGetWindowAttributes(display_, window_, &attributes);
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), attributes.width / 2, 4, &x, &y, &child);
        XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        XSync(display_, False);
    }

    // Waits for the next damage of the window (true), up to `milliseconds`, and clears it.
    bool waitForDamage(double milliseconds) {
        const auto start = Clock::now();
        for (;;) {
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type == damageEvent_ + XDamageNotify) {
                    XDamageSubtract(display_, damage_, None, None);
                    XFlush(display_);
                    return true;
                }
            }
            const double left = milliseconds - since(start);
            if (left <= 0) return false;
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(std::ceil(std::min(left, 50.0))));
        }
    }

    // Waits until no damage came for `quietMilliseconds` (at most `limit` ms in all).
    void settle(double quietMilliseconds, double limit = 5000) {
        const auto start = Clock::now();
        while (since(start) < limit && waitForDamage(quietMilliseconds)) {
        }
    }

    void key(KeySym symbol, bool down) {
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, symbol), down ? True : False, CurrentTime);
        XFlush(display_);
    }

    // Presses and releases the key; the time (ms) from the press to the window's next damage
    // (none when no frame came within `limit` ms).
    std::optional<double> keyToFrame(KeySym symbol, double limit = 2000) {
        const auto start = Clock::now();
        key(symbol, true);
        const bool drawn = waitForDamage(limit);
        const double milliseconds = since(start);
        key(symbol, false);
        if (!drawn) return std::nullopt;
        return milliseconds;
    }

private:
    Display* display_;
    pid_t pid_;
    Window window_ = 0;
    Damage damage_ = 0;
    int damageEvent_ = 0;
};

// The store's writes: its log file ("group.sqlite-wal") in the group directory, watched on a
// thread of its own, which notes when the first write after `arm` came.
class StoreWatch {
public:
    explicit StoreWatch(const std::string& directory) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (fd_ < 0 || inotify_add_watch(fd_, directory.c_str(), IN_MODIFY) < 0)
            Probe::fail("cannot watch the store in " + directory);
        watcher_ = std::thread([this] { watch(); });
    }
    ~StoreWatch() {
        running_ = false;
        watcher_.join();
        close(fd_);
    }

    void arm() {
        std::lock_guard lock(mutex_);
        armed_ = true;
        written_.reset();
    }

    // The time of the first write since `arm`, waiting up to `milliseconds` for it.
    std::optional<Clock::time_point> waitForWrite(double milliseconds) {
        std::unique_lock lock(mutex_);
        wrote_.wait_for(lock, std::chrono::duration<double, std::milli>(milliseconds), [this] { return written_.has_value(); });
        return written_;
    }

private:
    void watch() {
        while (running_) {
            pollfd fd{fd_, POLLIN, 0};
            if (poll(&fd, 1, 50) <= 0) continue;
            const auto now = Clock::now();
            alignas(inotify_event) char buffer[4096];
            const ssize_t n = read(fd_, buffer, sizeof buffer);
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && std::string(event->name) == "group.sqlite-wal") {
                    std::lock_guard lock(mutex_);
                    if (armed_) {
                        armed_ = false;
                        written_ = now;
                        wrote_.notify_all();
                    }
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

    int fd_;
    std::atomic<bool> running_{true};
    std::mutex mutex_;
    std::condition_variable wrote_;
    bool armed_ = false;
    std::optional<Clock::time_point> written_;
    std::thread watcher_;
};

double percentile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5)];
}

KeySym keyOf(int i) { return i % 2 == 0 ? XK_7 : XK_BackSpace; }

// Keys typing the sums of the soak: the digits of one number, "+", those of another, "=" and
// Escape (all clear), over and over.
std::vector<KeySym> soakKeys(int count) {
    std::vector<KeySym> keys;
    for (unsigned n = 1; static_cast<int>(keys.size()) < count; ++n) {
        for (char c : std::to_string(n * 7919 % 100000)) keys.push_back(XK_0 + (c - '0'));
        keys.push_back(XK_KP_Add);
        for (char c : std::to_string(n % 997)) keys.push_back(XK_0 + (c - '0'));
        keys.push_back(XK_equal);
        keys.push_back(XK_Escape);
    }
    keys.resize(static_cast<std::size_t>(count));
    return keys;
}

pid_t start(const Options& options) {
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(options.program[0], options.program.data());
        std::perror("bench_window_keys: exec");
        _exit(127);
    }
    return pid;
}

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

// The median time from a start of the program to its window's first frame, over `count` starts.
void timeStarts(Display* display, const Options& options, int count) {
    std::vector<double> starts;
    for (int i = 0; i < count; ++i) {
        const auto begun = Clock::now();
        const pid_t pid = start(options);
        Probe::started = pid;
        Probe probe(display, pid);
        probe.findWindow(30);
        if (!probe.waitForDamage(10000)) Probe::fail("the window showed no frame");
        starts.push_back(since(begun));
        stop(pid);
        Probe::started = 0;
    }
    std::printf("start to first frame over %d starts: median %.1f ms\n", count, percentile(starts, 0.5));
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = parse(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: bench_window_keys [--samples N] [--soak N] -- PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) Probe::fail("cannot open the display (is DISPLAY set?)");
    if (options->starts > 0) timeStarts(display, *options, options->starts);
    const pid_t pid = start(*options);
    Probe::started = pid;
    Probe probe(display, pid);
    probe.findWindow(30);
    if (!probe.waitForDamage(10000)) Probe::fail("the window showed no frame");
    probe.focus();
    probe.settle(500);

    std::optional<StoreWatch> store;
    if (!options->store.empty()) store.emplace(options->store);
    std::vector<double> latencies, writes;
    for (int i = 0; i < options->samples; ++i) {
        if (store) store->arm();
        const auto pressed = Clock::now();
        const auto milliseconds = probe.keyToFrame(keyOf(i));
        if (!milliseconds) Probe::fail("key " + std::to_string(i) + " brought no frame");
        latencies.push_back(*milliseconds);
        if (store) {
            const auto written = store->waitForWrite(2000);
            if (!written) Probe::fail("key " + std::to_string(i) + " wrote nothing to the store");
            writes.push_back(std::chrono::duration<double, std::milli>(*written - pressed).count());
        }
        probe.settle(30);
    }
    std::printf("key to frame over %d keys: p50 %.2f ms, p99 %.2f ms, max %.2f ms (targets: p50 <= 1.5 ms, p99 <= 5 ms)\n",
                options->samples, percentile(latencies, 0.5), percentile(latencies, 0.99),
                percentile(latencies, 1.0));
    if (store)
        std::printf("key to store write over %d keys: p50 %.2f ms, p99 %.2f ms, max %.2f ms\n", options->samples,
                    percentile(writes, 0.5), percentile(writes, 0.99), percentile(writes, 1.0));

    if (options->soak > 0) {
        probe.settle(500);
        const Memory before = memoryOf(pid);
        int missed = 0;
        const auto keys = soakKeys(options->soak);
        std::vector<std::pair<std::size_t, Memory>> curve;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (!probe.keyToFrame(keys[i], 250)) ++missed;
            if (isCheckpoint(i + 1) && i + 1 < keys.size()) curve.emplace_back(i + 1, memoryOf(pid));
        }
        probe.settle(500);
        const Memory after = memoryOf(pid);
        if (before.rss < 0 || after.rss < 0) Probe::fail("the program ended during the soak");
        curve.emplace_back(keys.size(), after);
        std::printf("memory over %d more keys (%d without a frame), kB: before VmRSS %ld (anon %ld, file %ld)\n",
                    options->soak, missed, before.rss, before.anon, before.file);
        for (const auto& [count, memory] : curve)
            std::printf("  after %6zu keys: VmRSS %ld (anon %ld, file %ld): %+ld kB\n", count, memory.rss, memory.anon,
                        memory.file, memory.rss - before.rss);
        std::printf("growth %ld kB (target: < 1024 kB)\n", after.rss - before.rss);
    }

    stop(pid);
    XCloseDisplay(display);
    return 0;
}
