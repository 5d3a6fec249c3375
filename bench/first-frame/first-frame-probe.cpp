// first-frame-probe: starts a program on the X display and reports when its first frame that is
// not blank (not one colour throughout) reaches one of its windows, as the X server sees it
// (damage on a mapped top-level window), whatever toolkit the program draws with.
//   first-frame-probe [--timeout SECONDS] [--later SECONDS] [--maps PREFIX] PROGRAM [ARGUMENTS...]
// Prints one line: milliseconds from the start to that frame, the program's resident memory
// then (VmRSS, kB), milliseconds from the start to the window's mapping, the CPU time its
// threads used until the frame (ms), and its resident memory (kB) the --later seconds after the
// frame (1.5; what it loaded or kept after its start). With --maps, the shared libraries mapped
// into it (from /proc/PID/maps) at the frame and at the later moment are written, one path a line,
// to PREFIX-frame and PREFIX-later. The program is ended afterwards. Exit status 0, or 1 when there
// was no frame in time (or no display).
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long residentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

// The shared libraries the process has mapped, one path a line, sorted.
std::string mappedLibraries(pid_t pid) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::set<std::string> libraries;
    std::string line;
    while (std::getline(maps, line)) {
        const std::size_t path = line.find('/');
        if (path != std::string::npos && line.find(".so", path) != std::string::npos) libraries.insert(line.substr(path));
    }
    std::string list;
    for (const std::string& library : libraries) list += library + "\n";
    return list;
}

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

template <class Reply>
using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

// The CPU time all the program's threads have run so far, in milliseconds (scheduler statistics:
// unlike wall time, hardly changed by other load on the machine).
double cpuMilliseconds(pid_t pid) {
    double total = 0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& task : std::filesystem::directory_iterator(tasks, std::filesystem::directory_options::skip_permission_denied)) {
        std::ifstream schedstat(task.path() / "schedstat");
        double nanoseconds = 0;
        if (schedstat >> nanoseconds) total += nanoseconds / 1e6;
    }
    return total;
}

// Whether a mapped window shows more than one colour.
bool showsAFrame(xcb_connection_t* connection, xcb_window_t window) {
    Owned<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr), std::free);
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) return false;
    Owned<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr),
                                             std::free);
    if (!geometry || geometry->width == 0 || geometry->height == 0) return false;
    Owned<xcb_get_image_reply_t> image(
        xcb_get_image_reply(connection,
                            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, geometry->width,
                                          geometry->height, ~0u),
                            nullptr),
        std::free);
    if (!image || image->depth < 24) return false;
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
    const int count = xcb_get_image_data_length(image.get()) / 4;
    for (int i = 1; i < count; ++i)
        if ((pixels[i] & 0xFFFFFF) != (pixels[0] & 0xFFFFFF)) return true;
    return false;
}

void end(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        usleep(10'000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
    double timeout = 10, later = 1.5;
    std::string maps;
    int first = 1;
    for (; first + 1 < argc && std::strncmp(argv[first], "--", 2) == 0; first += 2) {
        if (std::strcmp(argv[first], "--timeout") == 0) timeout = std::atof(argv[first + 1]);
        else if (std::strcmp(argv[first], "--later") == 0) later = std::atof(argv[first + 1]);
        else if (std::strcmp(argv[first], "--maps") == 0) maps = argv[first + 1];
        else break;
    }
    if (first >= argc || argv[first][0] == '-') {
        std::fprintf(stderr, "usage: first-frame-probe [--timeout SECONDS] [--later SECONDS] [--maps PREFIX] PROGRAM "
                             "[ARGUMENTS...]\n");
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "first-frame-probe: no X display\n");
        return 1;
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection, &xcb_damage_id);
    if (damage == nullptr || !damage->present) {
        std::fprintf(stderr, "first-frame-probe: the X server has no damage extension\n");
        return 1;
    }
    std::free(xcb_damage_query_version_reply(connection, xcb_damage_query_version(connection, 1, 1), nullptr));
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[first], argv + first);
        std::fprintf(stderr, "first-frame-probe: cannot start %s\n", argv[first]);
        _exit(127);
    }
    std::map<xcb_window_t, xcb_damage_damage_t> watched;
    double mapped = -1;
    while (millisecondsSince(start) < timeout * 1000) {
        pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
        xcb_generic_event_t* raw = xcb_poll_for_event(connection);
        if (raw == nullptr) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                std::fprintf(stderr, "first-frame-probe: %s ended without a frame\n", argv[first]);
                return 1;
            }
            poll(&descriptor, 1, 20);
            continue;
        }
        Owned<xcb_generic_event_t> event(raw, std::free);
        const double at = millisecondsSince(start);
        const int type = event->response_type & 0x7F;
        if (type == XCB_CREATE_NOTIFY) {
            auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event.get());
            if (created->parent != root || created->override_redirect) continue;
            xcb_damage_damage_t id = xcb_generate_id(connection);
            xcb_damage_create(connection, id, created->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            watched[created->window] = id;
            xcb_flush(connection);
        } else if (type == XCB_MAP_NOTIFY) {
            auto* shown = reinterpret_cast<xcb_map_notify_event_t*>(event.get());
            if (mapped < 0 && watched.count(shown->window) != 0) mapped = at;
        } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
            auto* notice = reinterpret_cast<xcb_damage_notify_event_t*>(event.get());
            xcb_damage_subtract(connection, notice->damage, XCB_NONE, XCB_NONE);
            if (watched.count(notice->drawable) == 0) continue;
            // Read at once: the program goes on meanwhile (with what it left for after its start).
            const long rss = residentKilobytes(pid);
            const double cpu = cpuMilliseconds(pid);
            const std::string libraries = maps.empty() ? std::string() : mappedLibraries(pid);
            if (showsAFrame(connection, notice->drawable)) {
                std::this_thread::sleep_for(std::chrono::duration<double>(later));
                const long rssLater = residentKilobytes(pid);
                if (!maps.empty()) {
                    writeFile(maps + "-frame", libraries);
                    writeFile(maps + "-later", mappedLibraries(pid));
                }
                std::printf("%.1f %ld %.1f %.1f %ld\n", at, rss, mapped < 0 ? at : mapped, cpu, rssLater);
                end(pid);
                return 0;
            }
        }
    }
    std::fprintf(stderr, "first-frame-probe: no frame from %s within %g s\n", argv[first], timeout);
    end(pid);
    return 1;
}
