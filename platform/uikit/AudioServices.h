#pragma once

#include <functional>
#include <vector>

namespace uikit {

// System sounds and vibration: 1103 and 1104 are key clicks, alert sound 4095 vibrates.
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
    static constexpr unsigned vibrate = 4095;

    static void playSystemSound(unsigned soundID);
    static void playAlertSound(unsigned soundID);
    // An empty player records the requests again.
    static void setPlayer(Player player);
    static const std::vector<Request>& requests();
    static void clearRequests();
};

}  // namespace uikit
