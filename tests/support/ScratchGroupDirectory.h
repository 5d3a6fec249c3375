#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// A fresh, empty group directory ($OSTRELO_GROUP_DIR) for as long as it lives; removed with what
// was written in it when it goes.
class ScratchGroupDirectory {
public:
    explicit ScratchGroupDirectory(const std::string& prefix);
    ~ScratchGroupDirectory();
    ScratchGroupDirectory(const ScratchGroupDirectory&) = delete;
    ScratchGroupDirectory& operator=(const ScratchGroupDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace testsupport
