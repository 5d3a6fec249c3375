#pragma once

#include <string>

namespace ostrelo {

// The marketing name of the device the program runs on, from the hardware identifier the kernel
// reports. The keyboard compares these names to choose its layout, so the texts are fixed.
class DeviceModel {
public:
    // Computed once on first access (thread-safe) and kept for the life of the process.
    static const std::string& modelName();
    // The kernel's machine identifier, mapped by modelNameForIdentifier.
    static std::string machineIdentifier();
    // The table's name of an identifier; a simulator architecture ("i386", "x86_64", "arm64") gives
    // "Simulator " and the name of SIMULATOR_MODEL_IDENTIFIER ("iOS" when unset); any other
    // identifier comes back unchanged.
    static std::string modelNameForIdentifier(const std::string& identifier);
};

}  // namespace ostrelo
