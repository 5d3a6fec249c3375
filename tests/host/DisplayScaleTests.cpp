#include "platform/host/DisplayScale.h"

#include <gtest/gtest.h>

namespace {

// The scale from the desktop's resources and the environment: a quarter at most off, between 1
// and 4, and anything that is no positive number gives way to what comes next.
TEST(DisplayScaleTest, TheEnvironmentOverTheDesktopsResolutionRoundedToAQuarterWithinOneToFour) {
    const struct {
        const char* resources;
        const char* override;
        double scale;
    } rows[] = {
        {nullptr, nullptr, 1},
        {"Xft.dpi:\t96\n", nullptr, 1},
        {"Xcursor.size:\t24\nXft.dpi:\t192\nXft.antialias:\t1\n", nullptr, 2},
        {"Xft.dpi: 130", nullptr, 1.25},
        {"Xft.dpi:\t72\n", nullptr, 1},
        {"Xft.dpi:\t960\n", nullptr, 4},
        {"Xft.dpi:\t192dpi\n", nullptr, 1},
        {"Xft.dpi:\t-192\n", nullptr, 1},
        {"no resources at all", nullptr, 1},
        {"Xft.dpi:\t192\n", "1", 1},
        {nullptr, "2.6", 2.5},
        {nullptr, "0.3", 1},
        {"Xft.dpi:\t192\n", "", 2},
        {"Xft.dpi:\t192\n", "big", 2},
        {"Xft.dpi:\t192\n", "0", 2},
        {"Xft.dpi:\t192\n", "inf", 2},
    };
    testing::internal::CaptureStderr();
    for (const auto& row : rows)
        EXPECT_EQ(host::DisplayScale::choose(row.resources, row.override), row.scale)
            << (row.resources ? row.resources : "-") << " / " << (row.override ? row.override : "-");
    const std::string logged = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(logged.begin(), logged.end(), '\n'), 3) << logged;
    EXPECT_NE(logged.find("OSTRELO_SCALE=\"big\" is not a positive number"), std::string::npos) << logged;
}

}  // namespace
