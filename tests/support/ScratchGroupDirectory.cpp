#include "tests/support/ScratchGroupDirectory.h"

#include "tests/support/TestEnvironment.h"

#include <cstdlib>
#include <system_error>

namespace testsupport {

ScratchGroupDirectory::ScratchGroupDirectory(const std::string& prefix) : path_(makeTemporaryDirectory(prefix)) {
    setenv("OSTRELO_GROUP_DIR", path_.c_str(), 1);
}

ScratchGroupDirectory::~ScratchGroupDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace testsupport
