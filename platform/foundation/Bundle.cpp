#include "platform/foundation/Bundle.h"

#include <cstdlib>
#include <system_error>

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

std::filesystem::path Bundle::executableDirectory() {
    std::error_code error;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : exe.parent_path();
}

std::vector<std::filesystem::path> Bundle::resourceDirectories(const std::string& kind) {
    if (const char* env = std::getenv("OSTRELO_RESOURCES"); env != nullptr && *env != '\0')
        return {std::filesystem::path(env) / kind};
    auto exe = executableDirectory();
    if (exe.empty()) return {};
    return {exe / kind, (exe.parent_path() / "share" / "ostrelo" / kind).lexically_normal()};
}

}  // namespace foundation
