#pragma once

#include "platform/foundation/PropertyListValue.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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

    // The directory of the running executable, through /proc/self/exe; empty when it cannot be
    // read.
    static std::filesystem::path executableDirectory();
    // Where the program's resources of one kind ("storyboards", "icons") are looked for, in
    // order: $OSTRELO_RESOURCES/<kind> alone when that is set; else <executable directory>/<kind>
    // (the build tree), then <executable directory>/../share/ostrelo/<kind> (`cmake --install`).
    // The working directory plays no part.
    static std::vector<std::filesystem::path> resourceDirectories(const std::string& kind);

private:
    Bundle() = default;
    PropertyListValue::Dictionary info_;
};

}  // namespace foundation
