#include "tests/support/TestEnvironment.h"

#include "platform/foundation/Locale.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testsupport {

std::filesystem::path makeTemporaryDirectory(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

std::filesystem::path testDataDirectory() {
    const char* dir = std::getenv("OSTRELO_TEST_DATA");
    return dir ? std::filesystem::path(dir) : std::filesystem::path("tests/data");
}

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void SuiteTest::SetUp() {
    groupDirectory_ = makeTemporaryDirectory("ostrelo-test");
    setenv("OSTRELO_GROUP_DIR", groupDirectory_.c_str(), 1);
    setLocale("en_US");
}

void SuiteTest::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(groupDirectory_, ignored);
}

void SuiteTest::setLocale(const std::string& identifier) { foundation::Locale::setCurrent(identifier); }

}  // namespace testsupport
