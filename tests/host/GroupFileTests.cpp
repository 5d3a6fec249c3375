#include "platform/foundation/UserActivity.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/host/GroupPasteboardStorage.h"
#include "platform/host/TranscriptFile.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <functional>

using testsupport::contentOf;

namespace {

using GroupFileTest = testsupport::SuiteTest;

// Links planted where the programs write in the group directory: at each file, pointing to a file
// of the user's (or a name not yet taken), and at the names its temporary files once had,
// pointing to names not yet taken.
// Every write replaces the link or is refused, and nothing outside the directory changes.
TEST_F(GroupFileTest, PlantedLinksNeverLeadAWriteOutOfTheGroupDirectory) {
    const auto group = groupDirectory() / "group", precious = groupDirectory() / "precious";
    std::filesystem::create_directories(group);
    std::ofstream(precious) << "precious";
    struct Row {
        const char* file;
        const char* target;
        std::function<bool()> write;
        bool replacesTheLink;
    } rows[] = {
        {"UserActivity", "precious", [&] { return foundation::UserActivity("app.handoff", group).becomeCurrent(); }, true},
        {"pasteboard", "precious", [&] { host::GroupPasteboardStorage(group).write("7"); return true; }, true},
        {"messages-transcript.txt", "precious", [&] { return !host::TranscriptFile(group / "messages-transcript.txt").append("7"); }, false},
        {"group.sqlite.lock", "lock",
         [&] {
             std::ofstream(group / "group.sqlite") << std::string(4096, 'x');  // damaged: moved aside under the lock
             return foundation::UserDefaults(group).set("key", 7);
         },
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        ASSERT_EQ(symlink((groupDirectory() / row.target).c_str(), (group / row.file).c_str()), 0);
        for (pid_t pid = getpid(); pid < getpid() + 20; ++pid) {
            const std::string name = std::string(row.file) + ".tmp" + std::to_string(pid);
            ASSERT_EQ(symlink((groupDirectory() / name).c_str(), (group / name).c_str()), 0);
        }
        EXPECT_TRUE(row.write());
        EXPECT_EQ(std::filesystem::is_symlink(group / row.file), !row.replacesTheLink);
    }
    EXPECT_EQ(contentOf(precious), "precious");
    EXPECT_EQ(contentOf(group / "pasteboard"), "7");
    EXPECT_EQ(foundation::UserActivity::readCurrent(group)->activityType(), "app.handoff");
    std::size_t outside = 0;
    for (const auto& entry : std::filesystem::directory_iterator(groupDirectory())) outside += entry.path() != group;
    EXPECT_EQ(outside, 1u) << "files made outside the group directory";
}

}  // namespace
