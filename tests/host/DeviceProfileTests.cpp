#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Device.h"
#include "platform/uikit/Screen.h"

#include <gtest/gtest.h>

using namespace uikit;
using host::DeviceProfile;
using host::HeadlessHost;
using host::Orientation;

namespace {

struct StyleWatcher : ViewController {
    std::vector<UserInterfaceStyle> seen;
    void traitCollectionDidChange(const TraitCollection*) override { seen.push_back(traitCollection().userInterfaceStyle); }
};

TEST(HostDeviceTest, MainScreenDeviceAndSafeAreaFollowProfileAndOrientation) {
    {
        HeadlessHost host(DeviceProfile::phone());
        EXPECT_EQ(Device::currentDevice().userInterfaceIdiom(), UserInterfaceIdiom::phone);
        EXPECT_EQ(Screen::mainScreen().bounds(), Rect(0, 0, 393, 852));
        EXPECT_EQ(Screen::mainScreen().scale(), 3);
        EXPECT_EQ(host.window().windowSafeAreaInsets(), (EdgeInsets{59, 0, 34, 0}));
        host.rotate(Orientation::landscape);
        EXPECT_EQ(Screen::mainScreen().bounds(), Rect(0, 0, 852, 393));
        EXPECT_EQ(host.window().windowSafeAreaInsets(), (EdgeInsets{0, 59, 21, 59}));
        // A window resize (a widget, a split screen) leaves the screen as it is.
        host.resize({400, 300});
        EXPECT_EQ(Screen::mainScreen().bounds(), Rect(0, 0, 852, 393));
    }
    HeadlessHost pad(DeviceProfile::pad(), Orientation::landscape);
    EXPECT_EQ(Device::currentDevice().userInterfaceIdiom(), UserInterfaceIdiom::pad);
    EXPECT_EQ(Screen::mainScreen().bounds(), Rect(0, 0, 1180, 820));
    EXPECT_EQ(pad.window().windowSafeAreaInsets(), (EdgeInsets{24, 0, 20, 0}));
    HeadlessHost small(DeviceProfile::smallPhone(), Orientation::landscape);
    EXPECT_EQ(small.window().windowSafeAreaInsets(), EdgeInsets{});
}

TEST(HostDeviceTest, AppearanceSettingReachesScreensAndStartsLight) {
    HeadlessHost host;
    auto owned = std::make_unique<StyleWatcher>();
    StyleWatcher* watcher = owned.get();
    host.setRootViewController(std::move(owned));
    EXPECT_EQ(watcher->seen, std::vector<UserInterfaceStyle>{UserInterfaceStyle::light});
    host.setUserInterfaceStyle(UserInterfaceStyle::dark);
    EXPECT_EQ(Screen::mainScreen().userInterfaceStyle(), UserInterfaceStyle::dark);
    EXPECT_EQ(watcher->seen.back(), UserInterfaceStyle::dark);
    EXPECT_EQ(watcher->seen.size(), 2u);
    HeadlessHost next;  // every host starts with the light appearance
    EXPECT_EQ(Screen::mainScreen().userInterfaceStyle(), UserInterfaceStyle::light);
}

}  // namespace
