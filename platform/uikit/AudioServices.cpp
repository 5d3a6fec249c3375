#include "platform/uikit/AudioServices.h"

namespace uikit {

namespace {
std::vector<AudioServices::Request>& recorded() {
    static std::vector<AudioServices::Request> requests;
    return requests;
}

AudioServices::Player& player() {
    static AudioServices::Player installed;
    return installed;
}

void deliver(const AudioServices::Request& request) {
    if (player()) player()(request);
    else recorded().push_back(request);
}
}  // namespace

void AudioServices::playSystemSound(unsigned soundID) { deliver({false, soundID}); }
void AudioServices::playAlertSound(unsigned soundID) { deliver({true, soundID}); }
void AudioServices::setPlayer(Player next) { player() = std::move(next); }
const std::vector<AudioServices::Request>& AudioServices::requests() { return recorded(); }
void AudioServices::clearRequests() { recorded().clear(); }

}  // namespace uikit
