#include "platform/host/SdlAudioLibrary.h"

#include <SDL2/SDL_hints.h>
#include <dlfcn.h>

namespace host {

namespace {

constexpr const char* libraryName = "libSDL2-2.0.so.0";

template <class Function>
void resolve(void* library, Function& function, const char* name, std::string& missing) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (function == nullptr && missing.empty()) missing = name;
}

struct Loaded {
    SdlAudioLibrary library;
    std::string error;
    bool ok = false;
};

Loaded loadLibrary(const std::string& applicationName) {
    Loaded loaded;
    void* handle = dlopen(libraryName, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        loaded.error = std::string("cannot load ") + libraryName + (reason != nullptr ? std::string(": ") + reason : "");
        return loaded;
    }
    SdlAudioLibrary& s = loaded.library;
    std::string missing;
    resolve(handle, s.InitSubSystem, "SDL_InitSubSystem", missing);
    resolve(handle, s.QuitSubSystem, "SDL_QuitSubSystem", missing);
    resolve(handle, s.OpenAudioDevice, "SDL_OpenAudioDevice", missing);
    resolve(handle, s.CloseAudioDevice, "SDL_CloseAudioDevice", missing);
    resolve(handle, s.PauseAudioDevice, "SDL_PauseAudioDevice", missing);
    resolve(handle, s.QueueAudio, "SDL_QueueAudio", missing);
    resolve(handle, s.GetError, "SDL_GetError", missing);
    resolve(handle, s.SetHint, "SDL_SetHint", missing);
    if (!missing.empty()) {
        loaded.error = std::string(libraryName) + " lacks " + missing;
        return loaded;  // the library stays loaded: it is not unloaded while the process runs
    }
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
