#pragma once

#include "platform/uikit/EdgeInsets.h"
#include "platform/uikit/Size.h"
#include "platform/uikit/TraitCollection.h"

#include <optional>
#include <string>
#include <vector>

namespace host {

enum class Orientation { portrait, landscape };

// A device the headless host imitates: its screen in points (portrait), pixels per point, idiom,
// the safe-area insets of its screen in each orientation and its hardware identifier (the model a
// simulator reports).
struct DeviceProfile {
    std::string name;
    uikit::Size portraitSize;
    double scale = 2;
    uikit::UserInterfaceIdiom idiom = uikit::UserInterfaceIdiom::phone;
    uikit::EdgeInsets portraitSafeArea;
    uikit::EdgeInsets landscapeSafeArea;
    std::string hardwareIdentifier;

    uikit::Size size(Orientation orientation) const;
    uikit::EdgeInsets safeAreaInsets(Orientation orientation) const;

    static DeviceProfile phone();  // "iPhone 15 Pro": 393 x 852 at 3x
    static DeviceProfile smallPhone();  // "iPhone SE (3rd generation)": 375 x 667 at 2x
    static DeviceProfile pad();  // "iPad Air (5th generation)": 820 x 1180 at 2x
    static const std::vector<DeviceProfile>& all();
    static std::optional<DeviceProfile> named(const std::string& name);
};

}  // namespace host
