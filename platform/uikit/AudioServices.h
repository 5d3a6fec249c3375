#pragma once

#include <vector>

namespace uikit {

// System sounds and vibration: 1103 and 1104 are key clicks, alert sound 4095 vibrates.
// Requests are recorded, in order, for the host (which may also play them).
class AudioServices {
public:
    struct Request {
        bool alert;  // played as an alert sound (vibration for 4095)
        unsigned soundID;
        friend bool operator==(const Request&, const Request&) = default;
    };
    static constexpr unsigned vibrate = 4095;

    static void playSystemSound(unsigned soundID);
    static void playAlertSound(unsigned soundID);
    static const std::vector<Request>& requests();
    static void clearRequests();
};

}  // namespace uikit
