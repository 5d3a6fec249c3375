#pragma once

#include "platform/foundation/Lifetime.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/AudioServices.h"

#include <cstdint>
#include <string>
#include <vector>

namespace host {

class SdlAudioLibrary;

// The window host's sounds: the key clicks 1104 and 1103 are made here (short decaying tones)
// and played through SDL audio (SdlAudioLibrary: SDL is loaded at the first click); the vibration
// 4095 is only logged. The audio device opens at the first click and closes again after a quiet
// spell, so an idle window keeps no audio thread busy. Without SDL or an audio device clicks are
// skipped, with one log line.
class SdlSoundPlayer {
public:
    // `applicationName`: what the sound server shows for the program.
    explicit SdlSoundPlayer(std::string applicationName = "Ostrelo") : applicationName_(std::move(applicationName)) {}
    ~SdlSoundPlayer();
    SdlSoundPlayer(const SdlSoundPlayer&) = delete;
    SdlSoundPlayer& operator=(const SdlSoundPlayer&) = delete;

    void play(const uikit::AudioServices::Request& request);
    // Samples of a click (mono, 32-bit float at `rate` per second); empty for other sounds.
    static std::vector<float> click(unsigned soundID, int rate);

private:
    bool open();
    void close();

    const SdlAudioLibrary* sdl_ = nullptr;
    std::string applicationName_;
    std::uint32_t device_ = 0;
    int rate_ = 0;
    bool audioStarted_ = false;
    bool unavailable_ = false;
    foundation::RunLoop::Identifier closing_ = 0;
    foundation::Lifetime lifetime_;
};

}  // namespace host
