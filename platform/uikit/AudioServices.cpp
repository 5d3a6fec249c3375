#include "platform/uikit/AudioServices.h"

namespace uikit {

namespace {
std::vector<AudioServices::Request>& recorded() {
    static std::vector<AudioServices::Request> requests;
    return requests;
}
}  // namespace

void AudioServices::playSystemSound(unsigned soundID) { recorded().push_back({false, soundID}); }
void AudioServices::playAlertSound(unsigned soundID) { recorded().push_back({true, soundID}); }
const std::vector<AudioServices::Request>& AudioServices::requests() { return recorded(); }
void AudioServices::clearRequests() { recorded().clear(); }

}  // namespace uikit
