#include "platform/foundation/Bundle.h"

namespace foundation {

Bundle& Bundle::mainBundle() {
    static Bundle bundle;
    return bundle;
}

std::optional<PropertyListValue> Bundle::objectForInfoDictionaryKey(const std::string& key) const {
    auto it = info_.find(key);
    if (it == info_.end()) return std::nullopt;
    return it->second;
}

}  // namespace foundation
