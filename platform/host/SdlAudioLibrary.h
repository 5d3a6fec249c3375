#pragma once

#include <SDL2/SDL_audio.h>

#include <string>

namespace host {

// SDL's audio, loaded when the first key click is played rather than with the program: the
// programs start without SDL and the libraries it brings (sound servers, codecs, window systems),
// and one that never clicks never loads them. Loading sets SDL's hints first: no signal handlers
// of its own (the programs end on SIGTERM as they do without it), and the application's name for
// the sound server. The functions are those of SDL's interface.
class SdlAudioLibrary {
public:
    // Loads the library on the first call (main thread, once per process; later calls return
    // what the first one did); null, with the reason, when it cannot be loaded.
    static const SdlAudioLibrary* load(const std::string& applicationName, std::string& error);

    int (*InitSubSystem)(Uint32) = nullptr;
    void (*QuitSubSystem)(Uint32) = nullptr;
    SDL_AudioDeviceID (*OpenAudioDevice)(const char*, int, const SDL_AudioSpec*, SDL_AudioSpec*, int) = nullptr;
    void (*CloseAudioDevice)(SDL_AudioDeviceID) = nullptr;
    void (*PauseAudioDevice)(SDL_AudioDeviceID, int) = nullptr;
    int (*QueueAudio)(SDL_AudioDeviceID, const void*, Uint32) = nullptr;
    const char* (*GetError)() = nullptr;
    SDL_bool (*SetHint)(const char*, const char*) = nullptr;
};

}  // namespace host
