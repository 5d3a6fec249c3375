#include "platform/host/GroupPasteboardStorage.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/PrivateFile.h"
#include "platform/foundation/UserDefaults.h"

namespace host {

GroupPasteboardStorage::GroupPasteboardStorage(std::filesystem::path directory) : directory_(std::move(directory)) {}

std::filesystem::path GroupPasteboardStorage::file() const {
    return (directory_.empty() ? foundation::UserDefaults::groupDirectory() : directory_) / "pasteboard";
}

std::optional<std::string> GroupPasteboardStorage::read() {
    std::string ignored;
    return foundation::PrivateFile::read(file(), largestText, false, ignored);
}

void GroupPasteboardStorage::write(const std::string& text) {
    std::filesystem::path target = file();
    std::error_code ignored;
    std::filesystem::create_directories(target.parent_path(), ignored);
    std::string error;
    if (!foundation::PrivateFile::replace(target, text, error)) foundation::Log::error("pasteboard: " + error);
}

}  // namespace host
