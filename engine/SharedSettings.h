#pragma once

#include "platform/foundation/UserDefaults.h"

#include <memory>

namespace ostrelo {

// The app-group suite, opened afresh for every access and synchronised right after opening.
class SharedSettings {
public:
    static std::unique_ptr<foundation::UserDefaults> open();
};

}  // namespace ostrelo
