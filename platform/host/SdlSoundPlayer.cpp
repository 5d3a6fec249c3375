#include "platform/host/SdlSoundPlayer.h"

#include "platform/foundation/Log.h"
#include "platform/host/SdlAudioLibrary.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <cmath>
#include <numbers>
#include <string>

namespace host {

namespace {
// Seconds without a click after which the device closes.
constexpr double quietSpell = 2.0;

// alsa-lib writes its complaints to the standard error itself ("ALSA lib …", eight lines on a
// machine without a sound card); the player reports a missing device on its own, once. The
// library is SDL's, loaded here first (SDL then finds it loaded), so it is reached by name.
void ignoreAudioLibraryMessage(const char*, int, const char*, int, const char*, ...) {}

void silenceAudioLibrary() {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (alsa == nullptr) return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    auto setHandler = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (setHandler != nullptr) setHandler(&ignoreAudioLibraryMessage);
}

struct Tone {
    double frequency;
    double seconds;
    double decay;  // time constant of the fade, seconds
};
}  // namespace

SdlSoundPlayer::~SdlSoundPlayer() {
    close();
    if (audioStarted_) sdl_->QuitSubSystem(SDL_INIT_AUDIO);
}

std::vector<float> SdlSoundPlayer::click(unsigned soundID, int rate) {
    Tone tone;
    if (soundID == uikit::AudioServices::keyClick) tone = {2400, 0.012, 0.0025};
    else if (soundID == uikit::AudioServices::endKeyClick) tone = {1500, 0.02, 0.004};
    else return {};
    auto count = static_cast<std::size_t>(tone.seconds * rate);
    std::vector<float> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / rate;
        samples[i] = static_cast<float>(0.4 * std::exp(-t / tone.decay) * std::sin(2 * std::numbers::pi * tone.frequency * t));
    }
    return samples;
}

void SdlSoundPlayer::play(const uikit::AudioServices::Request& request) {
    if (request.soundID == uikit::AudioServices::vibrate) {
        foundation::Log::info("vibration");
        return;
    }
    if (request.soundID != uikit::AudioServices::keyClick && request.soundID != uikit::AudioServices::endKeyClick) return;
    if (!open()) return;
    std::vector<float> samples = click(request.soundID, rate_);
    sdl_->QueueAudio(device_, samples.data(), static_cast<Uint32>(samples.size() * sizeof(float)));
    auto& loop = foundation::RunLoop::main();
    if (closing_ != 0) loop.cancel(closing_);
    closing_ = loop.perform(this, lifetime_.weak(), quietSpell, [this] {
        closing_ = 0;
        close();
    });
}

bool SdlSoundPlayer::open() {
    if (device_ != 0) return true;
    if (unavailable_) return false;
    if (sdl_ == nullptr) {
        silenceAudioLibrary();
        std::string error;
        sdl_ = SdlAudioLibrary::load(applicationName_, error);
        if (sdl_ == nullptr) {
            unavailable_ = true;
            foundation::Log::warning("sounds: no audio device, key clicks are skipped (" + error + ")");
            return false;
        }
    }
    if (!audioStarted_ && sdl_->InitSubSystem(SDL_INIT_AUDIO) == 0) audioStarted_ = true;
    SDL_AudioSpec wanted{};
    wanted.freq = 44100;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 1;
    wanted.samples = 512;
    SDL_AudioSpec obtained{};
    if (audioStarted_) device_ = sdl_->OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device_ == 0) {
        unavailable_ = true;
        foundation::Log::warning(std::string("sounds: no audio device, key clicks are skipped (") + sdl_->GetError() + ")");
        return false;
    }
    rate_ = obtained.freq;
    sdl_->PauseAudioDevice(device_, 0);
    return true;
}

void SdlSoundPlayer::close() {
    if (closing_ != 0) foundation::RunLoop::main().cancel(closing_);
    closing_ = 0;
    if (device_ == 0) return;
    sdl_->CloseAudioDevice(device_);
    device_ = 0;
}

}  // namespace host
