#include "platform/host/DesktopAppearance.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

#include <gio/gio.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

namespace host {

namespace {

constexpr const char* portalName = "org.freedesktop.portal.Desktop";
constexpr const char* portalPath = "/org/freedesktop/portal/desktop";
constexpr const char* settingsInterface = "org.freedesktop.portal.Settings";
constexpr const char* appearanceNamespace = "org.freedesktop.appearance";
constexpr const char* colorSchemeKey = "color-scheme";
// How long one read may stay unanswered (the portal may first have to be started). Nobody waits
// for it: the window keeps its appearance meanwhile.
constexpr int readTimeoutMilliseconds = 2000;

const char* environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// The style of a setting's value, which the portal may wrap in variants; none for a value that
// is no number.
std::optional<uikit::UserInterfaceStyle> styleOfValue(GVariant* value) {
    GVariant* inner = g_variant_ref(value);
    while (g_variant_is_of_type(inner, G_VARIANT_TYPE_VARIANT)) {
        GVariant* unwrapped = g_variant_get_variant(inner);
        g_variant_unref(inner);
        inner = unwrapped;
    }
    std::optional<uikit::UserInterfaceStyle> style;
    if (g_variant_is_of_type(inner, G_VARIANT_TYPE_UINT32))
        style = DesktopAppearance::styleOf(g_variant_get_uint32(inner));
    else if (g_variant_is_of_type(inner, G_VARIANT_TYPE_INT32) && g_variant_get_int32(inner) >= 0)
        style = DesktopAppearance::styleOf(static_cast<std::uint32_t>(g_variant_get_int32(inner)));
    g_variant_unref(inner);
    return style;
}

bool cancelled(const GError* error) { return g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED); }

}  // namespace

// What the main run loop hears from the bus thread.
struct DesktopAppearance::Receiver {
    Handler handler;
    bool unavailable = false;
    bool logged = false;

    void receive(std::optional<uikit::UserInterfaceStyle> style, const std::string& problem) {
        unavailable = !style;
        if (style) {
            if (handler) handler(*style);
            return;
        }
        if (logged) return;
        logged = true;
        foundation::Log::info("desktop appearance: " + problem + "; the window keeps its appearance");
    }
};

// The bus's side: a thread iterating a GLib main context of its own, where every GDBus call
// and signal is made and answered. Apart from the context, the cancellable and the thread, its
// members are touched on that thread only.
class DesktopAppearance::BusThread {
public:
    BusThread(std::string address, std::weak_ptr<Receiver> receiver)
        : address_(std::move(address)), receiver_(std::move(receiver)), context_(g_main_context_new()),
          cancellable_(g_cancellable_new()) {
        thread_ = std::thread([this] { run(); });
    }

    // Cancels what is under way (a connection being made too) and waits for the thread.
    ~BusThread() {
        g_cancellable_cancel(cancellable_);
        invoke(&BusThread::stop);
        thread_.join();
        g_object_unref(cancellable_);
        g_main_context_unref(context_);
    }

    void refresh() { invoke(&BusThread::read); }

private:
    // Runs `step` on the bus thread.
    void invoke(void (BusThread::*step)()) {
        struct Call {
            BusThread* self;
            void (BusThread::*step)();
        };
        g_main_context_invoke_full(
            context_, G_PRIORITY_DEFAULT,
            [](gpointer data) -> gboolean {
                auto* call = static_cast<Call*>(data);
                (call->self->*call->step)();
                return G_SOURCE_REMOVE;
            },
            new Call{this, step}, [](gpointer data) { delete static_cast<Call*>(data); });
    }

    // Until stopped, and then until every cancelled call has come back.
    void run() {
        g_main_context_push_thread_default(context_);
        connect();
        while (!stopping_ || pending_ > 0) g_main_context_iteration(context_, TRUE);
        closeBus();
        g_main_context_pop_thread_default(context_);
    }

    void stop() { stopping_ = true; }

    // Connects (the bus thread waits for that: the bus is a local socket) and asks the portal.
    void connect() {
        auto flags = static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                       G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
        GError* error = nullptr;
        bus_ = g_dbus_connection_new_for_address_sync(address_.c_str(), flags, nullptr, cancellable_, &error);
        if (bus_ == nullptr) {
            if (!cancelled(error)) report(std::nullopt, std::string("no session bus (") + error->message + ")");
            g_error_free(error);
            return;
        }
        subscription_ = g_dbus_connection_signal_subscribe(bus_, portalName, settingsInterface, "SettingChanged",
                                                           portalPath, appearanceNamespace, G_DBUS_SIGNAL_FLAGS_NONE,
                                                           &BusThread::changed, this, nullptr);
        ask();
    }

    // Asks again; without a bus (gone, or never reached) connects first.
    void read() {
        if (stopping_) return;
        if (bus_ != nullptr && g_dbus_connection_is_closed(bus_)) closeBus();
        if (bus_ == nullptr) connect();
        else ask();
    }

    void ask() {
        ++pending_;
        g_dbus_connection_call(bus_, portalName, portalPath, settingsInterface, "Read",
                               g_variant_new("(ss)", appearanceNamespace, colorSchemeKey), G_VARIANT_TYPE("(v)"),
                               G_DBUS_CALL_FLAGS_NONE, readTimeoutMilliseconds, cancellable_, &BusThread::answered,
                               this);
    }

    static void answered(GObject* source, GAsyncResult* result, gpointer data) {
        auto* self = static_cast<BusThread*>(data);
        --self->pending_;
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
        if (reply == nullptr) {
            if (!cancelled(error)) self->report(std::nullopt, std::string("no answer from the portal (") + error->message + ")");
            g_error_free(error);
            return;
        }
        GVariant* value = nullptr;
        g_variant_get(reply, "(v)", &value);
        self->reportValue(value);
        g_variant_unref(value);
        g_variant_unref(reply);
    }

    static void changed(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                        gpointer data) {
        if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ssv)"))) return;
        const gchar* space = nullptr;
        const gchar* key = nullptr;
        GVariant* value = nullptr;
        g_variant_get(parameters, "(&s&sv)", &space, &key, &value);
        if (g_strcmp0(space, appearanceNamespace) == 0 && g_strcmp0(key, colorSchemeKey) == 0)
            static_cast<BusThread*>(data)->reportValue(value);
        g_variant_unref(value);
    }

    void reportValue(GVariant* value) {
        auto style = styleOfValue(value);
        report(style, style ? "" : std::string("the portal's color scheme is not a number (") +
                                       g_variant_get_type_string(value) + ")");
    }

    void report(std::optional<uikit::UserInterfaceStyle> style, std::string problem) {
        foundation::RunLoop::main().post([receiver = receiver_, style, problem = std::move(problem)] {
            if (auto alive = receiver.lock()) alive->receive(style, problem);
        });
    }

    void closeBus() {
        if (bus_ == nullptr) return;
        if (subscription_ != 0) g_dbus_connection_signal_unsubscribe(bus_, subscription_);
        subscription_ = 0;
        g_object_unref(bus_);
        bus_ = nullptr;
    }

    const std::string address_;
    const std::weak_ptr<Receiver> receiver_;
    GMainContext* const context_;
    GCancellable* const cancellable_;
    GDBusConnection* bus_ = nullptr;
    guint subscription_ = 0;
    bool stopping_ = false;
    int pending_ = 0;
    std::thread thread_;
};

uikit::UserInterfaceStyle DesktopAppearance::styleOf(std::uint32_t colorScheme) {
    return colorScheme == 1 ? uikit::UserInterfaceStyle::dark : uikit::UserInterfaceStyle::light;
}

std::optional<std::string> DesktopAppearance::sessionBusAddress() {
    if (const char* address = environment("DBUS_SESSION_BUS_ADDRESS")) return std::string(address);
    const char* runtime = environment("XDG_RUNTIME_DIR");
    if (runtime == nullptr) return std::nullopt;
    const std::filesystem::path socket = std::filesystem::path(runtime) / "bus";
    std::error_code error;
    if (!std::filesystem::is_socket(socket, error)) return std::nullopt;
    gchar* escaped = g_dbus_address_escape_value(socket.c_str());
    std::string address = std::string("unix:path=") + escaped;
    g_free(escaped);
    return address;
}

DesktopAppearance::DesktopAppearance(const std::optional<std::string>& busAddress, Handler handler)
    : receiver_(std::make_shared<Receiver>()) {
    receiver_->handler = std::move(handler);
    if (busAddress) bus_ = std::make_unique<BusThread>(*busAddress, receiver_);
    else receiver_->receive(std::nullopt, "no session bus");
}

DesktopAppearance::~DesktopAppearance() {
    receiver_.reset();
    bus_.reset();
}

void DesktopAppearance::refresh() {
    if (bus_) bus_->refresh();
}

bool DesktopAppearance::unavailable() const { return receiver_->unavailable; }

}  // namespace host
