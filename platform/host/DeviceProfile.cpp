#include "platform/host/DeviceProfile.h"

namespace host {

uikit::Size DeviceProfile::size(Orientation orientation) const {
    if (orientation == Orientation::portrait) return portraitSize;
    return {portraitSize.height, portraitSize.width};
}

uikit::EdgeInsets DeviceProfile::safeAreaInsets(Orientation orientation) const {
    return orientation == Orientation::portrait ? portraitSafeArea : landscapeSafeArea;
}

// Safe areas: the notched phone loses its sensor housing and home indicator (top 59, bottom 34
// upright; 59 at both sides and 21 at the bottom lying), the small phone its status bar upright
// only, the pad its status bar and home indicator in both orientations.
DeviceProfile DeviceProfile::phone() {
    return {"iPhone 15 Pro", {393, 852}, 3, uikit::UserInterfaceIdiom::phone, {59, 0, 34, 0}, {0, 59, 21, 59}, "iPhone16,1"};
}

DeviceProfile DeviceProfile::smallPhone() {
    return {"iPhone SE (3rd generation)", {375, 667}, 2, uikit::UserInterfaceIdiom::phone, {20, 0, 0, 0}, {}, "iPhone14,6"};
}

DeviceProfile DeviceProfile::pad() {
    return {"iPad Air (5th generation)", {820, 1180}, 2, uikit::UserInterfaceIdiom::pad, {24, 0, 20, 0}, {24, 0, 20, 0}, "iPad13,16"};
}

const std::vector<DeviceProfile>& DeviceProfile::all() {
    static const std::vector<DeviceProfile> profiles = {phone(), smallPhone(), pad()};
    return profiles;
}

std::optional<DeviceProfile> DeviceProfile::named(const std::string& name) {
    for (const auto& p : all())
        if (p.name == name) return p;
    return std::nullopt;
}

}  // namespace host
