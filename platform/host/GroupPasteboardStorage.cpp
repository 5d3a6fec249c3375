#include "platform/host/GroupPasteboardStorage.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

namespace host {

GroupPasteboardStorage::GroupPasteboardStorage(std::filesystem::path directory) : directory_(std::move(directory)) {}

std::filesystem::path GroupPasteboardStorage::file() const {
    return (directory_.empty() ? foundation::UserDefaults::groupDirectory() : directory_) / "pasteboard";
}

std::optional<std::string> GroupPasteboardStorage::read() {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file(), error)) return std::nullopt;
    std::ifstream in(file(), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void GroupPasteboardStorage::write(const std::string& text) {
    std::filesystem::path target = file();
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    std::filesystem::path temporary = target;
    temporary += ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            foundation::Log::error("pasteboard: cannot write " + temporary.string());
            std::filesystem::remove(temporary, error);
            return;
        }
    }
    std::filesystem::rename(temporary, target, error);
    if (error) {
        foundation::Log::error("pasteboard: cannot store " + target.string() + ": " + error.message());
        std::filesystem::remove(temporary, error);
    }
}

}  // namespace host
