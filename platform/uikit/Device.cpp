#include "platform/uikit/Device.h"

namespace uikit {

Device& Device::currentDevice() {
    static Device device;
    return device;
}

}  // namespace uikit
