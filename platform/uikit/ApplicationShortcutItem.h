#pragma once

#include <string>

namespace uikit {

// A quick action of the application's icon, as the system hands it over: its type.
struct ApplicationShortcutItem {
    std::string type;
    friend bool operator==(const ApplicationShortcutItem&, const ApplicationShortcutItem&) = default;
};

}  // namespace uikit
