#pragma once

#include "platform/uikit/TraitCollection.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace host {

// The desktop's light or dark preference: the value "color-scheme" of the namespace
// "org.freedesktop.appearance" in the desktop portal's settings, on the session bus. The bus is
// spoken to with GDBus on a thread of its own, so nobody waits for it; every answer reaches the
// handler on the main run loop: the first one, one per refresh and one per change the portal
// announces. Without a bus or a portal, or on any error, the handler hears nothing (the window
// keeps the appearance it has) and one line is logged, once. Main thread only.
class DesktopAppearance {
public:
    using Handler = std::function<void(uikit::UserInterfaceStyle)>;

    // 1 prefers dark; 2 prefers light; 0 (no preference) and unknown values are light.
    static uikit::UserInterfaceStyle styleOf(std::uint32_t colorScheme);
    // $DBUS_SESSION_BUS_ADDRESS, else the socket "bus" in $XDG_RUNTIME_DIR; none without either.
    static std::optional<std::string> sessionBusAddress();

    // Starts reading from the bus at `busAddress` (none: there is no bus).
    DesktopAppearance(const std::optional<std::string>& busAddress, Handler handler);
    // Stops the bus thread: pending calls are cancelled and the handler hears nothing more.
    ~DesktopAppearance();
    DesktopAppearance(const DesktopAppearance&) = delete;
    DesktopAppearance& operator=(const DesktopAppearance&) = delete;

    // Reads the preference again, connecting again first when the bus went away or was never
    // reached.
    void refresh();
    // Whether the last answer the main run loop heard of was a failure.
    bool unavailable() const;

private:
    struct Receiver;
    class BusThread;

    std::shared_ptr<Receiver> receiver_;
    std::unique_ptr<BusThread> bus_;
};

}  // namespace host
