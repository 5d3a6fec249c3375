#pragma once

#include "platform/foundation/Lifetime.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/AudioServices.h"

#include <cstdint>
#include <vector>

namespace host {

// The window host's sounds: the key clicks 1104 and 1103 are made here (short decaying tones)
// and played through SDL audio; the vibration 4095 is only logged. The audio device opens at
// the first click and closes again after a quiet spell, so an idle window keeps no audio
// thread busy. Without an audio device clicks are skipped, with one log line.
class SdlSoundPlayer {
public:
    SdlSoundPlayer() = default;
    ~SdlSoundPlayer();
    SdlSoundPlayer(const SdlSoundPlayer&) = delete;
    SdlSoundPlayer& operator=(const SdlSoundPlayer&) = delete;

    void play(const uikit::AudioServices::Request& request);
    // Samples of a click (mono, 32-bit float at `rate` per second); empty for other sounds.
    static std::vector<float> click(unsigned soundID, int rate);

private:
    bool open();
    void close();

    std::uint32_t device_ = 0;
    int rate_ = 0;
    bool audioStarted_ = false;
    bool unavailable_ = false;
    foundation::RunLoop::Identifier closing_ = 0;
    foundation::Lifetime lifetime_;
};

}  // namespace host
