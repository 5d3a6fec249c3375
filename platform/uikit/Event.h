#pragma once

namespace uikit {

// The event that carries a touch or a press.
struct Event {
    double timestamp = 0;
};

}  // namespace uikit
