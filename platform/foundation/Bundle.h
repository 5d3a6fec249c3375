#pragma once

#include "platform/foundation/PropertyListValue.h"

#include <optional>
#include <string>

namespace foundation {

// The running program's bundle: its information dictionary ("CFBundleShortVersionString",
// "CFBundleVersion", ...). Each executable fills it at start from what its build gave it.
class Bundle {
public:
    static Bundle& mainBundle();

    const PropertyListValue::Dictionary& infoDictionary() const { return info_; }
    // The value under `key`, when there is one.
    std::optional<PropertyListValue> objectForInfoDictionaryKey(const std::string& key) const;
    void setInfoDictionary(PropertyListValue::Dictionary info) { info_ = std::move(info); }

private:
    Bundle() = default;
    PropertyListValue::Dictionary info_;
};

}  // namespace foundation
