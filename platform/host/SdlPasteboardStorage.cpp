#include "platform/host/SdlPasteboardStorage.h"

#include "platform/foundation/Log.h"

#include <SDL2/SDL_clipboard.h>
#include <SDL2/SDL_error.h>
#include <SDL2/SDL_stdinc.h>

namespace host {

bool SdlPasteboardStorage::hasClipboard(const std::string& videoDriver) {
    return videoDriver == "x11" || videoDriver == "wayland";
}

std::optional<std::string> SdlPasteboardStorage::read() {
    if (!SDL_HasClipboardText()) return std::nullopt;
    char* text = SDL_GetClipboardText();
    if (text == nullptr) return std::nullopt;
    std::string copy = text;
    SDL_free(text);
    return copy;
}

void SdlPasteboardStorage::write(const std::string& text) {
    if (SDL_SetClipboardText(text.c_str()) != 0)
        foundation::Log::warning(std::string("pasteboard: the clipboard refused the text: ") + SDL_GetError());
}

}  // namespace host
