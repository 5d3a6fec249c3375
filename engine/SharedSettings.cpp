#include "engine/SharedSettings.h"

namespace ostrelo {

std::unique_ptr<foundation::UserDefaults> SharedSettings::open() {
    auto suite = std::make_unique<foundation::UserDefaults>();
    suite->synchronize();
    return suite;
}

}  // namespace ostrelo
