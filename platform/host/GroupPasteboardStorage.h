#pragma once

#include "platform/uikit/PasteboardStorage.h"

#include <cstdint>
#include <filesystem>

namespace host {

// The headless host's pasteboard: the file "pasteboard" in the group directory, so that the
// processes of a test share it. A write replaces the file whole (a new file renamed into place);
// a read takes only a regular file, never one behind a symbolic link.
class GroupPasteboardStorage : public uikit::PasteboardStorage {
public:
    // No directory: the group directory as it is at each access.
    explicit GroupPasteboardStorage(std::filesystem::path directory = {});
    // A larger file is no text that was copied.
    static constexpr std::uintmax_t largestText = 1u << 30;
    std::optional<std::string> read() override;
    void write(const std::string& text) override;

private:
    std::filesystem::path file() const;
    std::filesystem::path directory_;
};

}  // namespace host
