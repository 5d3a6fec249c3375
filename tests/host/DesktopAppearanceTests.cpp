#include "platform/foundation/RunLoop.h"
#include "platform/host/DesktopAppearance.h"
#include "platform/host/WindowHost.h"
#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"

#include <gio/gio.h>
#include <gtest/gtest.h>


#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <future>
#include <thread>

using uikit::UserInterfaceStyle;

namespace {

using Styles = std::vector<UserInterfaceStyle>;
constexpr auto dark = UserInterfaceStyle::dark;
constexpr auto light = UserInterfaceStyle::light;

// Waits for an event that work on the main run loop brings, within a generous ceiling.
bool waitFor(const std::function<bool()>& done) { return foundation::RunLoop::main().runUntil(done, 60); }

std::size_t lines(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

// A session bus of the test's own: dbus-daemon with a configuration that starts no services, so
// a missing portal is missing at once.
class PrivateBus {
public:
    explicit PrivateBus(const std::filesystem::path& directory) {
        auto config = directory / "bus.conf";
        std::ofstream(config) << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                                 " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                                 "<busconfig><type>session</type><listen>unix:dir="
                              << directory.string()
                              << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                                 "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                                 "<allow own=\"*\"/></policy></busconfig>\n";
        daemon_ = std::make_unique<testsupport::AppProcess>(
            "/usr/bin/dbus-daemon",
            std::vector<std::string>{"--nofork", "--nopidfile", "--print-address", "--config-file=" + config.string()},
            std::map<std::string, std::string>{});
        address_ = daemon_->waitForLine("unix:").value_or("");
    }
    const std::string& address() const { return address_; }

private:
    std::unique_ptr<testsupport::AppProcess> daemon_;
    std::string address_;
};

// The portal's settings object on a bus, answering on a thread of its own as the desktop's
// portal does: Read gives the value wrapped twice, SettingChanged carries it wrapped once.
class FakePortal {
public:
    FakePortal(const std::string& address, std::uint32_t colorScheme) : colorScheme_(colorScheme) {
        std::promise<bool> ready;
        auto started = ready.get_future();
        thread_ = std::thread([this, address, &ready] { run(address, ready); });
        ready_ = started.get();
    }
    ~FakePortal() {
        if (loop_ != nullptr) g_main_loop_quit(loop_);
        thread_.join();
    }
    bool ready() const { return ready_; }
    void setColorScheme(std::uint32_t value) { colorScheme_ = value; }
    void announce(const char* space, const char* key, GVariant* value) {
        g_dbus_connection_emit_signal(connection_, nullptr, "/org/freedesktop/portal/desktop",
                                      "org.freedesktop.portal.Settings", "SettingChanged",
                                      g_variant_new("(ssv)", space, key, value), nullptr);
        g_dbus_connection_flush_sync(connection_, nullptr, nullptr);
    }
    void leave() {
        GVariant* reply = g_dbus_connection_call_sync(connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                      "org.freedesktop.DBus", "ReleaseName",
                                                      g_variant_new("(s)", "org.freedesktop.portal.Desktop"), nullptr,
                                                      G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
        if (reply != nullptr) g_variant_unref(reply);
    }

private:
    static constexpr const char* introspection =
        "<node><interface name='org.freedesktop.portal.Settings'>"
        "<method name='Read'><arg type='s' direction='in'/><arg type='s' direction='in'/>"
        "<arg type='v' direction='out'/></method>"
        "<signal name='SettingChanged'><arg type='s'/><arg type='s'/><arg type='v'/></signal>"
        "</interface></node>";

    static void call(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                     GDBusMethodInvocation* invocation, gpointer data) {
        const gchar* space = nullptr;
        const gchar* key = nullptr;
        g_variant_get(parameters, "(&s&s)", &space, &key);
        if (g_strcmp0(space, "org.freedesktop.appearance") != 0 || g_strcmp0(key, "color-scheme") != 0) {
            g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.portal.Error.NotFound", "not found");
            return;
        }
        auto value = g_variant_new_variant(g_variant_new_uint32(static_cast<FakePortal*>(data)->colorScheme_));
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(v)", value));
    }

    void run(const std::string& address, std::promise<bool>& ready) {
        GMainContext* context = g_main_context_new();
        g_main_context_push_thread_default(context);
        auto flags = static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                       G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
        connection_ = g_dbus_connection_new_for_address_sync(address.c_str(), flags, nullptr, nullptr, nullptr);
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(introspection, nullptr);
        const GDBusInterfaceVTable table{&FakePortal::call, nullptr, nullptr, {}};
        guint object = 0;
        GVariant* owned = nullptr;
        if (connection_ != nullptr) {
            object = g_dbus_connection_register_object(connection_, "/org/freedesktop/portal/desktop",
                                                       node->interfaces[0], &table, this, nullptr, nullptr);
            owned = g_dbus_connection_call_sync(connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                "org.freedesktop.DBus", "RequestName",
                                                g_variant_new("(su)", "org.freedesktop.portal.Desktop", 4u),
                                                G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
        }
        loop_ = owned != nullptr ? g_main_loop_new(context, FALSE) : nullptr;
        ready.set_value(loop_ != nullptr);
        if (loop_ != nullptr) g_main_loop_run(loop_);
        if (owned != nullptr) g_variant_unref(owned);
        if (object != 0) g_dbus_connection_unregister_object(connection_, object);
        if (loop_ != nullptr) g_main_loop_unref(loop_);
        g_dbus_node_info_unref(node);
        if (connection_ != nullptr) {
            g_dbus_connection_close_sync(connection_, nullptr, nullptr);
            g_object_unref(connection_);
        }
        while (g_main_context_iteration(context, FALSE)) {
        }
        g_main_context_pop_thread_default(context);
        g_main_context_unref(context);
    }

    std::atomic<std::uint32_t> colorScheme_;
    GDBusConnection* connection_ = nullptr;
    GMainLoop* loop_ = nullptr;
    bool ready_ = false;
    std::thread thread_;
};

class DesktopAppearanceTest : public testsupport::SuiteTest {
protected:
    std::unique_ptr<host::DesktopAppearance> reader(const std::optional<std::string>& address) {
        return std::make_unique<host::DesktopAppearance>(address, [this](UserInterfaceStyle s) { styles.push_back(s); });
    }
    Styles styles;
};

TEST(DesktopAppearanceMapping, OnlyAPreferenceForDarkIsDark) {
    struct Row {
        std::uint32_t colorScheme;
        UserInterfaceStyle style;
    } rows[] = {{0, light}, {1, dark}, {2, light}, {3, light}, {0xffffffff, light}};
    for (const auto& row : rows) EXPECT_EQ(host::DesktopAppearance::styleOf(row.colorScheme), row.style) << row.colorScheme;
}

TEST_F(DesktopAppearanceTest, TheSessionBusIsTheEnvironmentsOrTheRuntimeDirectorysSocket) {
    const auto runtime = groupDirectory() / "run time";
    std::filesystem::create_directory(runtime);
    struct Row {
        const char* address;
        bool socket;
        std::optional<std::string> expected;
    } rows[] = {
        {"unix:path=/somewhere/bus", true, "unix:path=/somewhere/bus"},
        {nullptr, false, std::nullopt},
        {"", false, std::nullopt},
        {nullptr, true, "unix:path=" + runtime.string().replace(runtime.string().find(' '), 1, "%20") + "/bus"},
    };
    for (const auto& row : rows) {
        if (row.address != nullptr) setenv("DBUS_SESSION_BUS_ADDRESS", row.address, 1);
        else unsetenv("DBUS_SESSION_BUS_ADDRESS");
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        std::filesystem::remove(runtime / "bus");
        if (row.socket) {
            int listener = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un name{};
            name.sun_family = AF_UNIX;
            std::string path = (runtime / "bus").string();
            std::copy(path.begin(), path.end(), name.sun_path);
            ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&name), sizeof name), 0);
            close(listener);
        } else {
            std::ofstream(runtime / "bus") << "not a socket";
        }
        EXPECT_EQ(host::DesktopAppearance::sessionBusAddress(), row.expected) << (row.address ? row.address : "(unset)");
    }
}

TEST_F(DesktopAppearanceTest, WithoutABusNothingChangesAndOneLineIsLogged) {
    for (std::optional<std::string> address : {std::optional<std::string>(), std::optional<std::string>("unix:path=" + (groupDirectory() / "none").string())}) {
        testing::internal::CaptureStderr();
        auto appearance = reader(address);
        EXPECT_TRUE(waitFor([&] { return appearance->unavailable(); }));
        appearance.reset();
        std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(lines(printed), 1u) << printed;
        EXPECT_NE(printed.find("desktop appearance: no session bus"), std::string::npos) << printed;
    }
    EXPECT_TRUE(styles.empty());
}

// The portal's answers, its announcements and its absence, on a bus of the test's own.
TEST_F(DesktopAppearanceTest, ThePortalsPreferenceIsReadAtStartAndRefreshAndFollowedAsItChanges) {
    PrivateBus bus(groupDirectory());
    ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";

    // A bus without the portal; a portal that appears is read at the next refresh.
    testing::internal::CaptureStderr();
    auto appearance = reader(bus.address());
    EXPECT_TRUE(waitFor([&] { return appearance->unavailable(); }));
    auto portal = std::make_unique<FakePortal>(bus.address(), 1);
    ASSERT_TRUE(portal->ready());
    appearance->refresh();
    EXPECT_TRUE(waitFor([&] { return styles.size() == 1; }));
    EXPECT_FALSE(appearance->unavailable());

    portal->setColorScheme(2);
    appearance->refresh();
    EXPECT_TRUE(waitFor([&] { return styles.size() == 2; }));
    // Other settings pass by; the color scheme's announcement arrives after them.
    portal->announce("org.freedesktop.appearance", "accent-color", g_variant_new("(ddd)", 0.1, 0.2, 0.3));
    portal->announce("org.gnome.desktop.interface", "color-scheme", g_variant_new_uint32(1));
    portal->announce("org.freedesktop.appearance", "color-scheme", g_variant_new_uint32(1));
    EXPECT_TRUE(waitFor([&] { return styles.size() == 3; }));
    EXPECT_EQ(styles, (Styles{dark, light, dark}));

    // The portal goes away: nothing changes, and the failure is not logged again; a read still
    // under way when the reader ends is dropped.
    portal->leave();
    appearance->refresh();
    EXPECT_TRUE(waitFor([&] { return appearance->unavailable(); }));
    appearance->refresh();
    appearance.reset();
    foundation::RunLoop::main().runUntilIdle();
    EXPECT_EQ(styles, (Styles{dark, light, dark}));
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(lines(printed), 1u) << printed;
    EXPECT_NE(printed.find("desktop appearance: no answer from the portal"), std::string::npos) << printed;
}

// The window host's screens hear of the preference at start and when the window gets the focus.
TEST_F(DesktopAppearanceTest, TheWindowHostsScreensFollowThePreference) {
    PrivateBus bus(groupDirectory());
    ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";
    FakePortal portal(bus.address(), 1);
    ASSERT_TRUE(portal.ready());
    setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);
    setenv(host::NativeWindow::systemVariable, "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    struct Screen : uikit::ViewController {
        Styles* seen;
        std::function<void()> heard;
        explicit Screen(Styles* seen) : seen(seen) {}
        void traitCollectionDidChange(const uikit::TraitCollection* previous) override {
            uikit::ViewController::traitCollectionDidChange(previous);
            if (previous == nullptr || previous->userInterfaceStyle == traitCollection().userInterfaceStyle) return;
            seen->push_back(traitCollection().userInterfaceStyle);
            if (heard) heard();
        }
    };
    Screen* screen = nullptr;
    host::AppDescription app;
    app.name = "ostrelo-test";
    std::unique_ptr<host::WindowHost> window;
    app.makeRootViewController = [&] {
        auto made = std::make_unique<Screen>(&styles);
        made->heard = [&] { window->quit(); };
        screen = made.get();
        return made;
    };
    std::string error;
    window = host::WindowHost::open(app, error);
    ASSERT_TRUE(window) << error;
    window->launch();
    ASSERT_NE(screen, nullptr);
    // A ceiling for each wait; the answer ends it long before. An answer can also come while
    // the window launches.
    foundation::RunLoop::main().schedule(60, [&] { window->quit(); });
    if (styles.empty()) window->exec();
    EXPECT_EQ(styles, (Styles{dark}));

    portal.setColorScheme(0);
    window->nativeWindow().post({host::WindowEvent::Kind::focusIn, {}, {}});
    window->exec();
    EXPECT_EQ(styles, (Styles{dark, light}));
}

}  // namespace
