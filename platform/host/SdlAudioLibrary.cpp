#include "platform/host/SdlAudioLibrary.h"

#include "platform/foundation/LoadedLibrary.h"

#include <SDL2/SDL_hints.h>

namespace host {

namespace {

using foundation::LoadedLibrary;

constexpr const char* libraryName = "libSDL2-2.0.so.0";

struct Loaded {
    SdlAudioLibrary library;
    std::string error;
    bool ok = false;
};

Loaded loadLibrary(const std::string& applicationName) {
    Loaded loaded;
    LoadedLibrary library;
    if (!library.open(libraryName, loaded.error)) return loaded;
    SdlAudioLibrary& s = loaded.library;
    library.resolve(s.InitSubSystem, "SDL_InitSubSystem");
    library.resolve(s.QuitSubSystem, "SDL_QuitSubSystem");
    library.resolve(s.OpenAudioDevice, "SDL_OpenAudioDevice");
    library.resolve(s.CloseAudioDevice, "SDL_CloseAudioDevice");
    library.resolve(s.PauseAudioDevice, "SDL_PauseAudioDevice");
    library.resolve(s.QueueAudio, "SDL_QueueAudio");
    library.resolve(s.GetError, "SDL_GetError");
    library.resolve(s.SetHint, "SDL_SetHint");
    if (!library.complete(loaded.error)) return loaded;
    s.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    s.SetHint(SDL_HINT_APP_NAME, applicationName.c_str());
    loaded.ok = true;
    return loaded;
}

}  // namespace

const SdlAudioLibrary* SdlAudioLibrary::load(const std::string& applicationName, std::string& error) {
    static const Loaded loaded = loadLibrary(applicationName);
    if (!loaded.ok) error = loaded.error;
    return loaded.ok ? &loaded.library : nullptr;
}

}  // namespace host
