#include "platform/host/DeviceProfile.h"

namespace host {

uikit::Size DeviceProfile::size(Orientation orientation) const {
    if (orientation == Orientation::portrait) return portraitSize;
    return {portraitSize.height, portraitSize.width};
}

DeviceProfile DeviceProfile::phone() { return {"iPhone 15 Pro", {393, 852}, 3, uikit::UserInterfaceIdiom::phone}; }

DeviceProfile DeviceProfile::smallPhone() {
    return {"iPhone SE (3rd generation)", {375, 667}, 2, uikit::UserInterfaceIdiom::phone};
}

DeviceProfile DeviceProfile::pad() { return {"iPad Air (5th generation)", {820, 1180}, 2, uikit::UserInterfaceIdiom::pad}; }

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
