#pragma once

#include <functional>
#include <vector>

namespace uikit {

// System sounds and vibration: the key clicks, and alert sound 4095 vibrates.
// Requests go to the player a host installed (one that plays them); without one they are
// recorded, in order, for the host.
class AudioServices {
public:
    struct Request {
        bool alert;  // played as an alert sound (vibration for 4095)
        unsigned soundID;
        friend bool operator==(const Request&, const Request&) = default;
    };
    using Player = std::function<void(const Request&)>;
    // The click of a key, and the firmer one of the keys that end or clear an entry ("=", Return,
    // Backspace and Escape on a hardware keyboard).
    static constexpr unsigned keyClick = 1104;
    static constexpr unsigned endKeyClick = 1103;
    static constexpr unsigned vibrate = 4095;

    static void playSystemSound(unsigned soundID);
    static void playAlertSound(unsigned soundID);
    // An empty player records the requests again.
    static void setPlayer(Player player);
    static const std::vector<Request>& requests();
    static void clearRequests();
};

}  // namespace uikit
