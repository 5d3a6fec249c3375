#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace testsupport {

// Gives every test its own empty group directory ($OSTRELO_GROUP_DIR) and pins the locale.
class SuiteTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void setLocale(const std::string& identifier);
    const std::filesystem::path& groupDirectory() const { return groupDirectory_; }

private:
    std::filesystem::path groupDirectory_;
};

// A fresh temporary directory under the system's temporary directory.
std::filesystem::path makeTemporaryDirectory(const std::string& prefix);
// tests/data, from OSTRELO_TEST_DATA.
std::filesystem::path testDataDirectory();
// The whole content of a file, as bytes; empty when it cannot be read.
std::string contentOf(const std::filesystem::path& file);

}  // namespace testsupport
