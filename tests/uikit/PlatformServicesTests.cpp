#include "platform/foundation/Bundle.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserActivity.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/PickerView.h"
#include "platform/uikit/Storyboard.h"
#include "platform/uikit/StoreReviewController.h"
#include "platform/uikit/ViewController.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace uikit;
using foundation::RunLoop;

namespace {

class PlatformServicesStoreTest : public testsupport::SuiteTest {};

// The chosen icon is kept in the group directory: a later start (records cleared) finds it.
TEST_F(PlatformServicesStoreTest, UrlsIconsAndReviewsAreAnsweredAndRecorded) {
    RunLoop::main().useVirtualTime();
    Application& app = Application::shared();
    app.clearRecords();
    EXPECT_TRUE(app.canOpenURL(Application::openSettingsURLString));
    EXPECT_TRUE(app.canOpenURL("ostrelo://"));
    EXPECT_TRUE(app.canOpenURL("x-scheme+1.a:b"));
    for (const char* bad : {"", ":x", "1abc:x", "no scheme", "a b:c"}) EXPECT_FALSE(app.canOpenURL(bad)) << bad;

    std::vector<std::optional<std::string>> errors;
    app.setAlternateIconName("AppIconDark", [&](std::optional<std::string> e) { errors.push_back(e); });
    app.setAlternateIconName("AppIconLight");
    EXPECT_TRUE(errors.empty());  // the completion runs later, on the main queue
    RunLoop::main().runUntilIdle();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_FALSE(errors[0].has_value());
    EXPECT_EQ(app.alternateIconName(), "AppIconLight");
    app.supportsAlternateIcons = false;
    app.setAlternateIconName("AppIconDark", [&](std::optional<std::string> e) { errors.push_back(e); });
    RunLoop::main().runUntilIdle();
    EXPECT_TRUE(errors.back().has_value());
    EXPECT_EQ(app.alternateIconName(), "AppIconLight");
    EXPECT_EQ(app.alternateIconRequests().size(), 2u);
    app.clearRecords();
    EXPECT_EQ(app.alternateIconName(), "AppIconLight");

    StoreReviewController::clearRequests();
    StoreReviewController::requestReview();
    StoreReviewController::requestReview();
    EXPECT_EQ(StoreReviewController::requestCount(), 2);
    StoreReviewController::clearRequests();

    auto& bundle = foundation::Bundle::mainBundle();
    bundle.setInfoDictionary({{"CFBundleShortVersionString", "2.4"}, {"CFBundleVersion", "117"}});
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("CFBundleVersion")->stringValue(), "117");
    EXPECT_FALSE(bundle.objectForInfoDictionaryKey("CFBundleName").has_value());
    bundle.setInfoDictionary({});
}

TEST(PlatformServicesTest, ControllersKnowTheirStoryboardAndPickersTheirRowSize) {
    std::string error;
    auto board = Storyboard::parse("scene A ViewController\n  view View frame=0,0,10,10\n"
                                   "scene B ViewController\n  view View frame=0,0,10,10\n",
                                   "Pair", error);
    ASSERT_TRUE(board) << error;
    auto a = board->instantiateViewController("A", error);
    ASSERT_TRUE(a) << error;
    board.reset();  // the controller keeps what it needs to find its sibling scenes
    ASSERT_NE(a->storyboard(), nullptr);
    EXPECT_EQ(a->storyboard()->name(), "Pair");
    EXPECT_NE(a->storyboard()->instantiateViewController("B", error), nullptr);
    EXPECT_EQ(ViewController().storyboard(), nullptr);

    PickerView picker(Rect(0, 0, 180, 162));
    EXPECT_EQ(picker.rowSizeForComponent(0), (Size{180, 32}));
}

}  // namespace

namespace {

TEST(PlatformServicesTest, CurrentActivityIsStoredWholeAndFollowsChanges) {
    auto dir = std::filesystem::temp_directory_path() / ("ostrelo-activity-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    EXPECT_FALSE(foundation::UserActivity::readCurrent(dir).has_value());
    foundation::UserActivity activity("ostrelo.handoff", dir);
    activity.setTitle("ostrelo");
    activity.setUserInfo({{"calculator", "2#N;+#O;3#N;"}});
    EXPECT_FALSE(foundation::UserActivity::readCurrent(dir).has_value());  // not current yet
    ASSERT_TRUE(activity.becomeCurrent());
    activity.addUserInfoEntriesFromDictionary({{"calculator", "(−1\\2)#N;\nline"}, {"", ""}});
    auto read = foundation::UserActivity::readCurrent(dir);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->activityType(), "ostrelo.handoff");
    EXPECT_EQ(read->title(), "ostrelo");
    EXPECT_EQ(read->userInfo(), (foundation::UserActivity::UserInfo{{"", ""}, {"calculator", "(−1\\2)#N;\nline"}}));
    EXPECT_FALSE(read->isCurrent());
    // A damaged file is no activity.
    const auto file = dir / foundation::UserActivity::fileName;
    std::ofstream(file) << "ostrelo-activity 1\nx\\q\ny\n";
    EXPECT_FALSE(foundation::UserActivity::readCurrent(dir).has_value());
    // Nor is a well-formed one larger than an activity can be, refused unread.
    activity.setUserInfo({{"calculator", std::string(foundation::UserActivity::largestFile, '1')}});
    ASSERT_TRUE(activity.becomeCurrent());
    EXPECT_FALSE(foundation::UserActivity::readCurrent(dir).has_value());
    activity.invalidate();
    EXPECT_FALSE(std::filesystem::exists(file));
    std::filesystem::remove_all(dir);
}

}  // namespace
