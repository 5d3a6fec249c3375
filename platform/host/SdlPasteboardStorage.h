#pragma once

#include "platform/uikit/PasteboardStorage.h"

#include <string>

namespace host {

// The window host's pasteboard: the desktop clipboard through SDL.
class SdlPasteboardStorage : public uikit::PasteboardStorage {
public:
    // Whether SDL's video driver of this name reaches a desktop clipboard (others keep the
    // text inside SDL, in the process).
    static bool hasClipboard(const std::string& videoDriver);

    std::optional<std::string> read() override;
    void write(const std::string& text) override;
};

}  // namespace host
