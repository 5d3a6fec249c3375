#include "ui/DeviceModel.h"

#include <gtest/gtest.h>

#include <sys/utsname.h>

#include <cstdlib>
#include <cstring>

using namespace ostrelo;

TEST(DeviceModel, TableNames) {
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("iPhone10,3"), "iPhone X");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("iPhone10,6"), "iPhone X");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("iPad7,1"), "iPad Pro (12.9-inch) (2nd generation)");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("iPad7,11"), "iPad (7th generation)");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("AudioAccessory1,1"), "HomePod");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("AudioAccessory5,1"), "HomePod mini");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("iPod5,1"), "iPod touch (5th generation)");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("iPhone16,2"), "iPhone 15 Pro Max");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("iPhone14,4"), "iPhone 13 mini");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("iPhone12,8"), "iPhone SE (2nd generation)");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("iPad13,19"), "iPad (10th generation)");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("iPad16,6"), "iPad Pro (13-inch) (M4)");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("AppleTV6,2"), "Apple TV 4K");
    // Unknown or differently written identifiers come back unchanged.
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("iPhone3,4"), "iPhone3,4");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("iphone10,3"), "iphone10,3");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("iPhone10,3 "), "iPhone10,3 ");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier(""), "");
}

TEST(DeviceModel, SimulatorArchitectures) {
    setenv("SIMULATOR_MODEL_IDENTIFIER", "iPad16,6", 1);
    for (const char* arch : {"i386", "x86_64", "arm64"}) {
        EXPECT_EQ(DeviceModel::modelNameForIdentifier(arch), "Simulator iPad Pro (13-inch) (M4)");
    }
    setenv("SIMULATOR_MODEL_IDENTIFIER", "iPhone99,9", 1);
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("arm64"), "Simulator iPhone99,9");
    unsetenv("SIMULATOR_MODEL_IDENTIFIER");
    EXPECT_EQ(DeviceModel::modelNameForIdentifier("x86_64"), "Simulator iOS");
    // A variable naming a simulator architecture again ends at once.
    for (const char* arch : {"i386", "x86_64", "arm64"}) {
        setenv("SIMULATOR_MODEL_IDENTIFIER", arch, 1);
        EXPECT_EQ(DeviceModel::modelNameForIdentifier("x86_64"), std::string("Simulator ") + arch);
    }
    unsetenv("SIMULATOR_MODEL_IDENTIFIER");
}

TEST(DeviceModel, ModelNameIsComputedOnceFromTheMachine) {
    setenv("SIMULATOR_MODEL_IDENTIFIER", "iPhone15,3", 1);
    struct utsname system;
    std::memset(&system, 0, sizeof system);
    ASSERT_EQ(uname(&system), 0);
    const std::string expected = DeviceModel::modelNameForIdentifier(system.machine);
    EXPECT_EQ(DeviceModel::machineIdentifier(), expected);
    EXPECT_EQ(DeviceModel::modelName(), expected);
    setenv("SIMULATOR_MODEL_IDENTIFIER", "iPad16,6", 1);
    EXPECT_EQ(DeviceModel::modelName(), expected);
    unsetenv("SIMULATOR_MODEL_IDENTIFIER");
}
